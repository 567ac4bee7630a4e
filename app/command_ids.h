// The numbers the program's shell works with beyond those of its resources: its control, the
// message that closes it, and the dialog templates with the end codes their callers act on.
#pragma once

#include "resources/resource_ids.h"

// Window message that closes the program as Exit does.
#define WM_CLOSE_PROGRAM 1023

// Controls.
#define IDC_RECORD_LIST 500

// Dialog templates.
#define IDD_ABOUT 102
#define IDD_REGISTER_TIME 108
#define IDD_EDIT_CATEGORIES 124
#define IDD_NEW_CATEGORY 125
#define IDD_EDIT_CATEGORY 126
#define IDD_TIME_REPORT 127
#define IDD_DELETE_BY_RANGE 129
#define IDD_EXPORT_RECORDS 1070
#define IDD_EXPORT_REPORT 1091
#define IDD_VIEW_OPTIONS 1120

// End codes of the dialogs.
#define IDOK_REGISTER_TIME 1014
#define IDDELETED_REGISTER_TIME 1012
#define IDCANCEL_REGISTER_TIME 1013
#define IDNEW_CATEGORY 1032
#define IDEDIT_CATEGORY 1033
#define IDDELETED_CATEGORY 1034
#define IDCLOSE_CATEGORIES 1038
#define IDDELETED_RANGE 1115
#define IDOK_VIEW_OPTIONS 1130
