// The program's resources and commands by number, as the menu bar, the menus, the bitmaps and
// the icon are described in resources/data/. Where app/command_ids.h names the same number the
// definition is the same, so that both may be included together.
#pragma once

// The menu bar and the menu of its drop-downs share their number.
#define IDR_MENUBAR 105

// The drop-down buttons of the bar, by the ids the program asks for their menus with.
#define IDM_TIME_MENU 40001
#define IDM_TOOLS_MENU 40043

// Commands of the bar's text button and of the menus.
#define IDM_NEW 40003
#define IDM_HELP 40008
#define IDM_ABOUT 40009
#define IDM_EDIT_CATEGORIES 40019
#define IDM_TIME_REPORT 40021
#define IDM_EXPORT 40045
#define IDM_VIEW_OPTIONS 40046
#define IDM_EXIT 40049
#define IDM_UNDO_DELETING 40050
#define IDM_DELETE_BY_RANGE 40052
#define IDM_EMPTY_UNDO 40053

// Commands of the picture buttons the program adds to the bar.
#define IDB_EDIT_CATEGORIES 551
#define IDB_TIME_REPORT 552
#define IDB_UNDO_DELETING 553
#define IDB_EXPORT 554

// The program's icon and its two bitmaps of 16 x 16 pictures side by side.
#define IDI_ZENTALLY 101
#define IDB_MENUBAR_IMAGES 106
#define IDB_LIST_IMAGES 128

// The pictures of bitmap 106, left to right.
#define BAR_IMAGE_EDIT_CATEGORIES 0 // a hammer
#define BAR_IMAGE_TIME_REPORT 1     // a clock
#define BAR_IMAGE_UNDO_DELETING 2   // an undo arrow
#define BAR_IMAGE_EXPORT 3          // a pair of documents
#define BAR_IMAGE_COUNT 4

// The pictures of bitmap 128, left to right.
#define IMAGE_ASCENDING 0
#define IMAGE_DESCENDING 1
#define IMAGE_NO_ORDER 2
#define IMAGE_MEMO 3
#define IMAGE_NO_MEMO 4
#define LIST_IMAGE_COUNT 6

#define PICTURE_PIXELS 16

// The sound played when a new record was stored: a resource of kind "WAVE".
#define SOUND_TYPE u"WAVE"
#define SOUND_TIME_ADDED u"IDW_TIME_ADDED"
