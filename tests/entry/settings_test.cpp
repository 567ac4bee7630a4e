#include "entry/settings.h"

#include "platform/winreg.h"
#include "tests/model/store_fixture.h"

namespace
{
const LPCWSTR versionKey = u"Software\\Ulmra\\Zentally";
const LPCWSTR settingsKey = u"Software\\Ulmra\\Zentally\\Settings";

struct SettingsTest : StoreFixture {
    AppSettings settings;
    void SetUp() override
    {
        StoreFixture::SetUp();
        InitAppSettings(&settings);
    }
    void TearDown() override
    {
        DestroyAppSettings(&settings);
        StoreFixture::TearDown();
    }
    void Put(LPCWSTR path, LPCWSTR name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        DWORD disposition;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key,
                                  &disposition),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void PutDword(LPCWSTR path, LPCWSTR name, DWORD value)
    {
        Put(path, name, REG_DWORD, &value, sizeof(value));
    }
    bool Get(LPCWSTR path, LPCWSTR name, DWORD* value, DWORD* type)
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = sizeof(*value);
        LONG result =
            RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<LPBYTE>(value), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS && size == 4;
    }
};
} // namespace

TEST_F(SettingsTest, AFirstSaveWritesAllThirteenValuesWithTheirDefaults)
{
    ASSERT_TRUE(LoadSettings(&settings, u"Ulmra", u"Zentally"));
    EXPECT_EQ(settings.DateTypeView, 0u);
    EXPECT_EQ(settings.TimeTypeView, 1u);
    EXPECT_EQ(settings.SortOrder, 2u);
    ASSERT_TRUE(SaveSettings(&settings));
    struct {
        LPCWSTR path, name;
        DWORD value;
    } expected[] = {
        {versionKey, u"MajorVersion", 0},    {versionKey, u"MinorVersion", 0},
        {settingsKey, u"Sort", 0},           {settingsKey, u"SortOrder", 2},
        {settingsKey, u"SortRapport", 0},    {settingsKey, u"SortOrderRapport", 0},
        {settingsKey, u"DateTypeView", 0},   {settingsKey, u"TimeTypeView", 1},
        {settingsKey, u"DateTypeExport", 0}, {settingsKey, u"TimeTypeExport", 1},
        {settingsKey, u"ExportFileType", 0}, {settingsKey, u"ExportFileFolder", 1},
        {settingsKey, u"CatRecsApply", 0},
    };
    for (const auto& e : expected) {
        DWORD value = 99, type = 0;
        ASSERT_TRUE(Get(e.path, e.name, &value, &type));
        EXPECT_EQ(type, DWORD(REG_DWORD));
        EXPECT_EQ(value, e.value);
    }
}

TEST_F(SettingsTest, ValuesWithinTheirRangesAreTakenAndSurviveARestart)
{
    PutDword(versionKey, u"MajorVersion", 2);
    PutDword(versionKey, u"MinorVersion", 5);
    PutDword(settingsKey, u"SortOrder", 1);
    PutDword(settingsKey, u"DateTypeView", 3);
    PutDword(settingsKey, u"TimeTypeExport", 2);
    PutDword(settingsKey, u"CatRecsApply", 1);
    ASSERT_TRUE(LoadSettings(&settings, u"Ulmra", u"Zentally"));
    EXPECT_EQ(settings.MajorVersion, 2u);
    EXPECT_EQ(settings.MinorVersion, 5u);
    EXPECT_EQ(settings.SortOrder, 1u);
    EXPECT_EQ(settings.DateTypeView, 3u);
    EXPECT_EQ(settings.TimeTypeExport, 2u);
    EXPECT_EQ(settings.CatRecsApply, 1u);
    settings.ExportFileFolder = 0;
    ASSERT_TRUE(SaveSettings(&settings));

    Restart();
    AppSettings again;
    InitAppSettings(&again);
    ASSERT_TRUE(LoadSettings(&again, u"Ulmra", u"Zentally"));
    EXPECT_EQ(again.ExportFileFolder, 0u);
    EXPECT_EQ(again.SortOrder, 1u);
    DestroyAppSettings(&again);
}

TEST_F(SettingsTest, ValuesOutOfRangeOrOfAnotherTypeOrSizeKeepTheDefault)
{
    PutDword(versionKey, u"MajorVersion", 3);
    PutDword(versionKey, u"MinorVersion", 100);
    PutDword(settingsKey, u"Sort", 1);
    PutDword(settingsKey, u"SortOrder", 3);
    PutDword(settingsKey, u"DateTypeView", 4);
    PutDword(settingsKey, u"TimeTypeExport", 3);
    PutDword(settingsKey, u"ExportFileFolder", 0xFFFFFFFFu);
    DWORD one = 1;
    Put(settingsKey, u"TimeTypeView", REG_BINARY, &one, 4);
    Put(settingsKey, u"SortRapport", REG_SZ, u"1", 4);
    WORD shortValue = 1;
    Put(settingsKey, u"ExportFileType", REG_DWORD, &shortValue, 2);
    BYTE longValue[8] = {1};
    Put(settingsKey, u"CatRecsApply", REG_DWORD, longValue, 8);
    ASSERT_TRUE(LoadSettings(&settings, u"Ulmra", u"Zentally"));
    AppSettings defaults;
    InitAppSettings(&defaults);
    EXPECT_EQ(settings.MajorVersion, defaults.MajorVersion);
    EXPECT_EQ(settings.MinorVersion, defaults.MinorVersion);
    EXPECT_EQ(settings.Sort, defaults.Sort);
    EXPECT_EQ(settings.SortOrder, defaults.SortOrder);
    EXPECT_EQ(settings.DateTypeView, defaults.DateTypeView);
    EXPECT_EQ(settings.TimeTypeExport, defaults.TimeTypeExport);
    EXPECT_EQ(settings.ExportFileFolder, defaults.ExportFileFolder);
    EXPECT_EQ(settings.TimeTypeView, defaults.TimeTypeView);
    EXPECT_EQ(settings.SortRapport, defaults.SortRapport);
    EXPECT_EQ(settings.ExportFileType, defaults.ExportFileType);
    EXPECT_EQ(settings.CatRecsApply, defaults.CatRecsApply);

    // The next save puts a proper value in place of each.
    ASSERT_TRUE(SaveSettings(&settings));
    DWORD value, type;
    ASSERT_TRUE(Get(settingsKey, u"TimeTypeView", &value, &type));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(value, 1u);
}

TEST_F(SettingsTest, NamesAreComparedWithoutRegardToCase)
{
    PutDword(u"SOFTWARE\\ulmra\\ZENTALLY\\settings", u"dATEtYPEvIEW", 2);
    ASSERT_TRUE(LoadSettings(&settings, u"Ulmra", u"Zentally"));
    EXPECT_EQ(settings.DateTypeView, 2u);
}

TEST_F(SettingsTest, AnEmptyNameTouchesNoRegistry)
{
    EXPECT_FALSE(LoadSettings(&settings, u"", u"Zentally"));
    EXPECT_FALSE(SaveSettings(&settings));
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, 0, &key), ERROR_SUCCESS);
    AppSettings other;
    InitAppSettings(&other);
    EXPECT_FALSE(LoadSettings(&other, u"Ulmra", nullptr));
    EXPECT_FALSE(SaveSettings(&other));
    DestroyAppSettings(&other);
}

TEST_F(SettingsTest, AFailedWriteStillWritesTheOthersAndReportsFailure)
{
    ASSERT_TRUE(LoadSettings(&settings, u"Ulmra", u"Zentally"));
    settings.DateTypeView = 2;
    FailStoreOperation(StoreOp::RegSet, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(SaveSettings(&settings));
    DWORD value, type;
    EXPECT_FALSE(Get(versionKey, u"MajorVersion", &value, &type));
    ASSERT_TRUE(Get(settingsKey, u"DateTypeView", &value, &type));
    EXPECT_EQ(value, 2u);
}
