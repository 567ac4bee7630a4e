#include "entry/settings.h"

#include "entry/view_types.h"
#include "model/owned_text.h"
#include "platform/text.h"
#include "platform/winreg.h"

namespace
{
struct SettingValue {
    LPCWSTR name;
    DWORD AppSettings::*field;
    DWORD maximum; // accepted on load: 0 to maximum
};

// The values of each key, in the order they are read and written.
const SettingValue versionValues[] = {
    {u"MajorVersion", &AppSettings::MajorVersion, 2},
    {u"MinorVersion", &AppSettings::MinorVersion, 99},
};

const SettingValue settingsValues[] = {
    {u"Sort", &AppSettings::Sort, 0},
    {u"SortOrder", &AppSettings::SortOrder, 2},
    {u"SortRapport", &AppSettings::SortRapport, 1},
    {u"SortOrderRapport", &AppSettings::SortOrderRapport, 2},
    {u"DateTypeView", &AppSettings::DateTypeView, 3},
    {u"TimeTypeView", &AppSettings::TimeTypeView, 1},
    {u"DateTypeExport", &AppSettings::DateTypeExport, 3},
    {u"TimeTypeExport", &AppSettings::TimeTypeExport, 2},
    {u"ExportFileType", &AppSettings::ExportFileType, 1},
    {u"ExportFileFolder", &AppSettings::ExportFileFolder, 1},
    {u"CatRecsApply", &AppSettings::CatRecsApply, 1},
};

// Key paths are short: "Software\" and two names of at most a string-table text each.
const int keyPathMax = 800;

void BuildKeyPaths(const AppSettings* settings, WCHAR (&versionKey)[keyPathMax],
                   WCHAR (&settingsKey)[keyPathMax])
{
    wsprintfW(versionKey, u"Software\\%s\\%s", settings->MakerName, settings->ProductName);
    wsprintfW(settingsKey, u"%s\\Settings", versionKey);
}

template <size_t N>
void ReadValues(AppSettings* settings, LPCWSTR path, const SettingValue (&values)[N])
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key) != ERROR_SUCCESS)
        return;
    for (const SettingValue& value : values) {
        DWORD type = REG_NONE;
        DWORD data = 0;
        DWORD size = sizeof(data);
        LONG result = RegQueryValueExW(key, value.name, nullptr, &type,
                                       reinterpret_cast<LPBYTE>(&data), &size);
        if (result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(data) &&
            data <= value.maximum)
            settings->*value.field = data;
    }
    RegCloseKey(key);
}

template <size_t N>
bool WriteValues(const AppSettings* settings, LPCWSTR path, const SettingValue (&values)[N])
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key) != ERROR_SUCCESS) {
        DWORD disposition;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
            return false;
    }
    bool all = true;
    for (const SettingValue& value : values) {
        DWORD data = settings->*value.field;
        if (RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof(data)) != ERROR_SUCCESS)
            all = false;
    }
    RegCloseKey(key);
    return all;
}

bool NamesUsable(const AppSettings* settings)
{
    return !IsMissingOrEmpty(settings->MakerName) && !IsMissingOrEmpty(settings->ProductName);
}
} // namespace

void InitAppSettings(AppSettings* settings)
{
    settings->MakerName = nullptr;
    settings->ProductName = nullptr;
    settings->MinorVersion = 0;
    settings->MajorVersion = 0;
    settings->Sort = 0;
    settings->SortOrder = 2;
    settings->SortRapport = 0;
    settings->SortOrderRapport = 0;
    settings->DateTypeView = DEFAULT_DATE_VIEW;
    settings->TimeTypeView = DEFAULT_TIME_VIEW;
    settings->DateTypeExport = DEFAULT_DATE_VIEW;
    settings->TimeTypeExport = DEFAULT_EXPORT_TIME;
    settings->ExportFileType = 0;
    settings->ExportFileFolder = 1;
    settings->CatRecsApply = 0;
}

void DestroyAppSettings(AppSettings* settings)
{
    ReleaseText(&settings->MakerName);
    ReleaseText(&settings->ProductName);
}

BOOL LoadSettings(AppSettings* settings, LPCWSTR makerName, LPCWSTR productName)
{
    if (!IsMissingOrEmpty(makerName)) {
        ReleaseText(&settings->MakerName);
        settings->MakerName = DuplicateText(makerName);
    }
    if (!IsMissingOrEmpty(productName)) {
        ReleaseText(&settings->ProductName);
        settings->ProductName = DuplicateText(productName);
    }
    if (IsMissingOrEmpty(makerName) || IsMissingOrEmpty(productName) || !NamesUsable(settings))
        return FALSE;
    WCHAR versionKey[keyPathMax], settingsKey[keyPathMax];
    BuildKeyPaths(settings, versionKey, settingsKey);
    ReadValues(settings, versionKey, versionValues);
    ReadValues(settings, settingsKey, settingsValues);
    return TRUE;
}

BOOL SaveSettings(const AppSettings* settings)
{
    if (!NamesUsable(settings))
        return FALSE;
    WCHAR versionKey[keyPathMax], settingsKey[keyPathMax];
    BuildKeyPaths(settings, versionKey, settingsKey);
    bool versionWritten = WriteValues(settings, versionKey, versionValues);
    bool settingsWritten = WriteValues(settings, settingsKey, settingsValues);
    return versionWritten && settingsWritten;
}
