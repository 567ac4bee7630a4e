// The user's settings that survive a restart, kept in the registry under
// HKEY_LOCAL_MACHINE\Software\<maker>\<product> and its Settings subkey, all REG_DWORD.
// Read once when the main window is created, written once at shutdown.
#pragma once

#include "platform/wintypes.h"

struct AppSettings {
    LPWSTR MakerName;   // owned; first segment of the key path
    LPWSTR ProductName; // owned; second segment
    DWORD MinorVersion;
    DWORD MajorVersion;
    DWORD Sort;             // sort column of the record list: the Date column only
    DWORD SortOrder;        // 0 ascending, 1 descending, 2 not chosen yet (ascending)
    DWORD SortRapport;      // sort column of the Time Report: 0 Category, 1 Time
    DWORD SortOrderRapport; // as SortOrder
    DWORD DateTypeView;     // DateViewType
    DWORD TimeTypeView;     // TimeViewType
    DWORD DateTypeExport;   // DateViewType; kept, never applied
    DWORD TimeTypeExport;   // ExportTimeType
    DWORD ExportFileType;   // 0 ASCII, 1 UNICODE
    DWORD ExportFileFolder; // 0 Business, 1 Personal
    DWORD CatRecsApply;     // the apply-to-records check box
};

// Gives every field its default and both names absent.
void InitAppSettings(AppSettings* settings);
// Releases the two names.
void DestroyAppSettings(AppSettings* settings);
// Copies the names and reads every value that is stored as a REG_DWORD within its accepted
// range; anything else keeps its current value. 0 when a name is missing or empty (the registry
// is then not touched), 1 otherwise, whether or not keys and values were found.
BOOL LoadSettings(AppSettings* settings, LPCWSTR makerName, LPCWSTR productName);
// Writes all thirteen values, creating the keys as needed; every value is attempted even after
// a failure. 1 only when every write succeeded; 0 without touching the registry when a name is
// missing.
BOOL SaveSettings(const AppSettings* settings);
