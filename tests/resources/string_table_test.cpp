#include "resources/strings.h"

#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::u16string Load(UINT id)
{
    WCHAR buffer[STRING_BUFFER_CHARS];
    LoadStringW(RegisterResourceModule(&ZentallyResources), id, buffer, STRING_BUFFER_CHARS);
    return buffer;
}

// Every number the header names; a number left without its text would show an empty message.
const UINT namedStrings[] = {IDS_APP_TITLE,
                             IDS_CLASS_NAME,
                             IDS_MAKER_NAME,
                             IDS_CANNOT_CONTINUE,
                             IDS_HEADER_TIME_RECORD,
                             IDS_HEADER_CATEGORY,
                             IDS_HEADER_VIEW_OPTIONS,
                             IDS_HEADER_DELETE_BY_RANGE,
                             IDS_COLUMN_DATE,
                             IDS_COLUMN_CATEGORY,
                             IDS_COLUMN_TIME,
                             IDS_DATABASE_PROBLEMS,
                             IDS_ERROR_EDITING_DATABASE,
                             IDS_ERROR_BUILDING_DATABASE,
                             IDS_ERROR_DELETING_RECORD,
                             IDS_ERROR_ADDING_RECORD,
                             IDS_RECORDS_CANNOT_BE_SORTED,
                             IDS_ERROR_SORTING_CATEGORY_NAMES,
                             IDS_ERROR_SORTING_CATEGORY_TIMES,
                             IDS_WRONG_TIME_FORMAT,
                             IDS_DELETE_RECORD_QUESTION,
                             IDS_UNDO_FULL,
                             IDS_DELETE_CATEGORY_QUESTION,
                             IDS_CATEGORY_FIRST_LETTER,
                             IDS_START_AFTER_END,
                             IDS_NO_RECORDS_FOUND,
                             IDS_RECORDS_WILL_BE_DELETED,
                             IDS_REPORT_COLUMN_CATEGORY,
                             IDS_REPORT_COLUMN_TIME,
                             IDS_TOO_MANY_CATEGORIES,
                             IDS_NO_BUSINESS_FOLDER,
                             IDS_NO_PERSONAL_FOLDER,
                             IDS_FILE_EXISTS_QUESTION,
                             IDS_CANNOT_DELETE_FILE,
                             IDS_CANNOT_CREATE_FILE,
                             IDS_CANNOT_WRITE_FILE,
                             IDS_EXPORT_NAME_RULE};
} // namespace

TEST(StringTable, NumbersAreUniqueAscendingAndEachNamedOnce)
{
    const RESOURCEMODULE& table = ZentallyResources;
    ASSERT_EQ(table.stringCount, std::size(namedStrings));
    for (size_t i = 1; i < table.stringCount; ++i)
        EXPECT_LT(table.strings[i - 1].id, table.strings[i].id) << "at entry " << i;
    for (UINT id : namedStrings)
        EXPECT_FALSE(Load(id).empty()) << "string " << id;
}

TEST(StringTable, EveryTextLoadsWholeAndPlain)
{
    for (size_t i = 0; i < ZentallyResources.stringCount; ++i) {
        const STRINGRESOURCE& entry = ZentallyResources.strings[i];
        const std::u16string text = entry.text;
        SCOPED_TRACE(testing::Message() << "string " << entry.id);
        EXPECT_FALSE(text.empty());
        EXPECT_LT(text.size(), size_t(STRING_BUFFER_CHARS));
        EXPECT_EQ(Load(entry.id), text);
        // The program adds its own blanks when it composes a message and passes every text as a
        // %s argument, so a text carries neither padding nor a conversion of its own.
        EXPECT_NE(text.front(), u' ');
        EXPECT_NE(text.back(), u' ');
        EXPECT_EQ(text.find(u'%'), std::u16string::npos);
    }
}

TEST(StringTable, IdentityAndMessagesReadAsTheProgramShowsThem)
{
    EXPECT_EQ(Load(IDS_APP_TITLE), u"Zentally");
    EXPECT_EQ(Load(IDS_CLASS_NAME), u"Zentally");
    EXPECT_EQ(Load(IDS_MAKER_NAME), u"Ulmra");
    EXPECT_EQ(Load(IDS_CANNOT_CONTINUE), u"The Zentally program cannot continue!");
    EXPECT_EQ(Load(IDS_DATABASE_PROBLEMS), u"There are problems with Zentally database!");
    EXPECT_EQ(Load(IDS_NO_RECORDS_FOUND), u"No Records found !");
    EXPECT_EQ(Load(IDS_NO_PERSONAL_FOLDER),
              u"Folder Personal doesn't exist on you PocketPC. Please, restore original folder "
              u"structure on you PocketPC, and try again.");
    EXPECT_EQ(Load(IDS_TOO_MANY_CATEGORIES),
              u"Current version Zentally supports only 100 category items. You have more than "
              u"that. In order to continue, please, delete some of yours categories. Thanks.");
}

TEST(StringTable, ColumnCaptionsFollowTheirColumnIndex)
{
    EXPECT_EQ(Load(IDS_COLUMN_DATE + 0), u"Date");
    EXPECT_EQ(Load(IDS_COLUMN_DATE + 1), u"Category");
    EXPECT_EQ(Load(IDS_COLUMN_DATE + 2), u"Time");
    EXPECT_EQ(Load(IDS_REPORT_COLUMN_CATEGORY), u"Category");
    EXPECT_EQ(Load(IDS_REPORT_COLUMN_TIME), u"Time");
}

TEST(StringTable, ComposedMessagesReadWholeAndFit)
{
    WCHAR message[STRING_BUFFER_CHARS];
    wsprintfW(message, u"%s %s", Load(IDS_ERROR_ADDING_RECORD).c_str(), u"Ulmra Zentally");
    EXPECT_EQ(std::u16string(message), u"Error during adding record to database: Ulmra Zentally");

    for (UINT id : {IDS_ERROR_EDITING_DATABASE, IDS_ERROR_BUILDING_DATABASE,
                    IDS_ERROR_DELETING_RECORD, IDS_ERROR_ADDING_RECORD}) {
        const std::u16string text = Load(id);
        EXPECT_EQ(text.back(), u':') << "string " << id;
        const int n = wsprintfW(message, u"%s %s", text.c_str(), u"Ulmra ZentallyCustom");
        EXPECT_EQ(size_t(n), text.size() + 21) << "string " << id;
    }

    wsprintfW(message, u"%d %s", 3, Load(IDS_RECORDS_WILL_BE_DELETED).c_str());
    EXPECT_EQ(std::u16string(message), u"3 records will be deleted. Continue?");
    const int n = wsprintfW(message, u"%d %s", 65535, Load(IDS_RECORDS_WILL_BE_DELETED).c_str());
    EXPECT_EQ(size_t(n), 6 + Load(IDS_RECORDS_WILL_BE_DELETED).size());
}
