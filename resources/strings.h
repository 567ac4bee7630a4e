// The program's string table by number. Every text is loaded with LoadStringW into a buffer of
// STRING_BUFFER_CHARS characters and shown as it stands, or composed into a message where the
// group's comment says so.
#pragma once

#include "platform/resource.h"

// Characters of the buffers the program loads its texts into (700 bytes); every text of the
// table is shorter, so that none is ever cut.
constexpr int STRING_BUFFER_CHARS = 350;

enum : UINT {
    // Start-up and identity: the caption of the main window and of every message box, the
    // window class, and the maker name that with the title forms the registry key.
    IDS_APP_TITLE = 1,
    IDS_CLASS_NAME = 2,
    IDS_MAKER_NAME = 3,
    IDS_CANNOT_CONTINUE = 40023,

    // Dialog headers, painted at the top of the narrow layouts.
    IDS_HEADER_TIME_RECORD = 40004,
    IDS_HEADER_CATEGORY = 40005,
    IDS_HEADER_VIEW_OPTIONS = 40006,
    IDS_HEADER_DELETE_BY_RANGE = 40007,

    // Captions of the record list's columns, loaded as IDS_COLUMN_DATE + column index.
    IDS_COLUMN_DATE = 40011,
    IDS_COLUMN_CATEGORY = 40012,
    IDS_COLUMN_TIME = 40013,

    // Storage messages. Except where shown alone (40018 always, 40024 when the categories
    // database cannot be read), they are composed with "%s %s" of the text and the database
    // name: "Error during adding record to database: Ulmra Zentally".
    IDS_DATABASE_PROBLEMS = 40018,
    IDS_ERROR_EDITING_DATABASE = 40020,
    IDS_ERROR_BUILDING_DATABASE = 40024,
    IDS_ERROR_DELETING_RECORD = 40058,
    IDS_ERROR_ADDING_RECORD = 40059,

    // Failed sorts of the records and of the report's categories.
    IDS_RECORDS_CANNOT_BE_SORTED = 40025,
    IDS_ERROR_SORTING_CATEGORY_NAMES = 40054,
    IDS_ERROR_SORTING_CATEGORY_TIMES = 40055,

    // Record entry: a stored duration the time lists cannot show, the delete question, and the
    // question when the undo store already holds its 12 records.
    IDS_WRONG_TIME_FORMAT = 40027,
    IDS_DELETE_RECORD_QUESTION = 40040,
    IDS_UNDO_FULL = 40056,

    // Categories: the delete question of Edit Categories and the first-letter rule of the
    // name dialogs.
    IDS_DELETE_CATEGORY_QUESTION = 40039,
    IDS_CATEGORY_FIRST_LETTER = 40060,

    // Date ranges of the Time Report and of Delete by Range. The deletion question is composed
    // with "%d %s" of the number of records found and IDS_RECORDS_WILL_BE_DELETED: "3 records
    // will be deleted. Continue?", with the same wording for one record.
    IDS_START_AFTER_END = 40028,
    IDS_NO_RECORDS_FOUND = 40061,
    IDS_RECORDS_WILL_BE_DELETED = 40062,

    // Time Report: the captions of its two columns and the warning past 100 categories.
    IDS_REPORT_COLUMN_CATEGORY = 40047,
    IDS_REPORT_COLUMN_TIME = 40048,
    IDS_TOO_MANY_CATEGORIES = 40051,

    // Export: the missing folders, replacing an existing file, the file operations that fail,
    // and the rule for the file name.
    IDS_NO_BUSINESS_FOLDER = 40031,
    IDS_NO_PERSONAL_FOLDER = 40032,
    IDS_FILE_EXISTS_QUESTION = 40041,
    IDS_CANNOT_DELETE_FILE = 40029,
    IDS_CANNOT_CREATE_FILE = 40030,
    IDS_CANNOT_WRITE_FILE = 40044,
    IDS_EXPORT_NAME_RULE = 40057,
};

// The program's resources as the device registers them (RegisterResourceModule).
extern const RESOURCEMODULE ZentallyResources;
