// The string table: each text exactly as the program shows it, in ascending order of number.
#include "resources/data/resource_data.h"
#include "resources/strings.h"

#include <iterator>

namespace
{
constexpr STRINGRESOURCE ZentallyStrings[] = {
    {IDS_APP_TITLE, u"Zentally"},
    {IDS_CLASS_NAME, u"Zentally"},
    {IDS_MAKER_NAME, u"Ulmra"},
    {IDS_HEADER_TIME_RECORD, u"Time Record"},
    {IDS_HEADER_CATEGORY, u"Category"},
    {IDS_HEADER_VIEW_OPTIONS, u"Date and Time view options"},
    {IDS_HEADER_DELETE_BY_RANGE, u"Delete Records by Range of Dates"},
    {IDS_COLUMN_DATE, u"Date"},
    {IDS_COLUMN_CATEGORY, u"Category"},
    {IDS_COLUMN_TIME, u"Time"},
    {IDS_DATABASE_PROBLEMS, u"There are problems with Zentally database!"},
    {IDS_ERROR_EDITING_DATABASE, u"Error during edit operation in database:"},
    {IDS_CANNOT_CONTINUE, u"The Zentally program cannot continue!"},
    {IDS_ERROR_BUILDING_DATABASE, u"Error during building database:"},
    {IDS_RECORDS_CANNOT_BE_SORTED, u"Registered time cannot be sorted!"},
    {IDS_WRONG_TIME_FORMAT,
     u"Error: wrong time format. Re-enter time or Delete this registration record."},
    {IDS_START_AFTER_END, u"Starts date must be earlier than Ends date!"},
    {IDS_CANNOT_DELETE_FILE, u"Cannot delete File. The source or destination file may be in use."},
    {IDS_CANNOT_CREATE_FILE, u"Program failed to create file."},
    {IDS_NO_BUSINESS_FOLDER,
     u"Folder Business doesn't exist on you PocketPC. Please, restore original folder structure "
     u"on you PocketPC, and try again."},
    {IDS_NO_PERSONAL_FOLDER,
     u"Folder Personal doesn't exist on you PocketPC. Please, restore original folder structure "
     u"on you PocketPC, and try again."},
    {IDS_DELETE_CATEGORY_QUESTION, u"Selected item will be permanently deleted. Continue?"},
    {IDS_DELETE_RECORD_QUESTION, u"Selected record will be deleted. Continue?"},
    {IDS_FILE_EXISTS_QUESTION, u"File already exists - do you want replace existing file?"},
    {IDS_CANNOT_WRITE_FILE, u"Program failed to write time records in file."},
    {IDS_REPORT_COLUMN_CATEGORY, u"Category"},
    {IDS_REPORT_COLUMN_TIME, u"Time"},
    {IDS_TOO_MANY_CATEGORIES,
     u"Current version Zentally supports only 100 category items. You have more than that. In "
     u"order to continue, please, delete some of yours categories. Thanks."},
    {IDS_ERROR_SORTING_CATEGORY_NAMES, u"Error: categories name sorting"},
    {IDS_ERROR_SORTING_CATEGORY_TIMES, u"Error: categories time sorting"},
    {IDS_UNDO_FULL,
     u"The Undo can hold only 12 records. Deleting this record will add it to the end and "
     u"discard the first record. Do you want to delete it anyway?"},
    {IDS_EXPORT_NAME_RULE,
     u"Please, enter a unique name that is alphabetic character within the ranges A - Z or a - z "
     u"or decimal digit (0 - 9)."},
    {IDS_ERROR_DELETING_RECORD, u"Error during deleting record in database:"},
    {IDS_ERROR_ADDING_RECORD, u"Error during adding record to database:"},
    {IDS_CATEGORY_FIRST_LETTER,
     u"The first letter must be alphabetic character within the ranges A - Z or a - z or decimal "
     u"digit (0 - 9)."},
    {IDS_NO_RECORDS_FOUND, u"No Records found !"},
    {IDS_RECORDS_WILL_BE_DELETED, u"records will be deleted. Continue?"},
};

// A text found twice, or out of order, would hide another from a search of the table.
constexpr bool StrictlyAscending(const STRINGRESOURCE* strings, size_t count)
{
    for (size_t i = 1; i < count; ++i) {
        if (strings[i - 1].id >= strings[i].id)
            return false;
    }
    return true;
}
static_assert(StrictlyAscending(ZentallyStrings, std::size(ZentallyStrings)),
              "string numbers must be unique and in ascending order");
} // namespace

constinit const RESOURCEMODULE ZentallyResources = {
    .strings = ZentallyStrings,
    .stringCount = std::size(ZentallyStrings),
    .menus = ZentallyMenus,
    .menuCount = ZentallyMenuCount,
    .menuBars = ZentallyMenuBars,
    .menuBarCount = ZentallyMenuBarCount,
    .bitmaps = ZentallyBitmaps,
    .bitmapCount = ZentallyBitmapCount,
    .icons = ZentallyIcons,
    .iconCount = ZentallyIconCount,
    .dialogs = ZentallyDialogs,
    .dialogCount = ZentallyDialogCount,
    .customs = ZentallyCustoms,
    .customCount = ZentallyCustomCount,
};
