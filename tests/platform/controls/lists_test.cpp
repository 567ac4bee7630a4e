// Drop-down lists and list boxes: entries in order, selection, the documented searches, item
// data, and what a person's taps and keys on them send.
#include "tests/platform/controls/controls_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPointer>

using namespace controls_test;

namespace
{
// The messages of one kind of list, so that the shared rules are tested on both.
struct ListKind {
    const char* name;
    LPCWSTR className;
    DWORD sorted;
    UINT add, insert, remove, reset, count, getSel, setSel, text, textLength, find, findExact,
        select, getData, setData;
};

const ListKind dropDown = {"DropDownList",  WC_COMBOBOXW,       CBS_DROPDOWNLIST | CBS_SORT,
                           CB_ADDSTRING,    CB_INSERTSTRING,    CB_DELETESTRING,
                           CB_RESETCONTENT, CB_GETCOUNT,        CB_GETCURSEL,
                           CB_SETCURSEL,    CB_GETLBTEXT,       CB_GETLBTEXTLEN,
                           CB_FINDSTRING,   CB_FINDSTRINGEXACT, CB_SELECTSTRING,
                           CB_GETITEMDATA,  CB_SETITEMDATA};
const ListKind listBox = {"ListBox",       WC_LISTBOXW,        LBS_NOTIFY | LBS_SORT | WS_BORDER,
                          LB_ADDSTRING,    LB_INSERTSTRING,    LB_DELETESTRING,
                          LB_RESETCONTENT, LB_GETCOUNT,        LB_GETCURSEL,
                          LB_SETCURSEL,    LB_GETTEXT,         LB_GETTEXTLEN,
                          LB_FINDSTRING,   LB_FINDSTRINGEXACT, LB_SELECTSTRING,
                          LB_GETITEMDATA,  LB_SETITEMDATA};

void PrintTo(const ListKind& kind, std::ostream* out)
{
    *out << kind.name;
}

class Lists : public ControlsTest, public testing::WithParamInterface<ListKind>
{
  protected:
    const ListKind& K() const { return GetParam(); }

    HWND MakeList(DWORD style, int id = 1010)
    {
        return Make(K().className, nullptr, style, id, 75, 90, 158, 110);
    }
    LRESULT Add(HWND list, LPCWSTR text) { return SendMessageW(list, K().add, 0, LPARAM(text)); }
    LRESULT Count(HWND list) { return SendMessageW(list, K().count, 0, 0); }
    LRESULT Selected(HWND list) { return SendMessageW(list, K().getSel, 0, 0); }
    std::u16string Entry(HWND list, int index)
    {
        WCHAR buffer[64] = {};
        LRESULT n = SendMessageW(list, K().text, WPARAM(index), LPARAM(buffer));
        return n < 0 ? u"<error>" : std::u16string(buffer, size_t(n));
    }
    std::vector<std::u16string> Entries(HWND list)
    {
        std::vector<std::u16string> all;
        for (int i = 0; i < Count(list); ++i)
            all.push_back(Entry(list, i));
        return all;
    }
};

TEST_P(Lists, ASortedListPutsEachEntryInItsPlaceWithoutCase)
{
    HWND list = MakeList(K().sorted);
    struct Case {
        LPCWSTR text;
        LRESULT index;
    } cases[] = {{u"Sport", 0}, {u"job", 0}, {u"Reading", 1}, {u"Job2", 1},
                 {u"JOB", 1},   {u"00", 0},  {u"zz", 6}};
    for (const Case& c : cases)
        EXPECT_EQ(Add(list, c.text), c.index) << K().name;
    EXPECT_EQ(Entries(list), (std::vector<std::u16string>{u"00", u"job", u"JOB", u"Job2",
                                                          u"Reading", u"Sport", u"zz"}));
    EXPECT_EQ(Selected(list), -1); // adding selects nothing
    EXPECT_EQ(Add(list, nullptr), -1);
    EXPECT_TRUE(commands.empty());
}

TEST_P(Lists, UnsortedAndInsertedEntriesStayWherePut)
{
    HWND list = MakeList(K().sorted & ~DWORD(CBS_SORT | LBS_SORT));
    EXPECT_EQ(Add(list, u"b"), 0);
    EXPECT_EQ(Add(list, u"a"), 1);
    struct Case {
        int at;
        LPCWSTR text;
        LRESULT result;
    } cases[] = {{0, u"first", 0}, {-1, u"last", 3}, {2, u"middle", 2},
                 {9, u"far", -1},  {-2, u"bad", -1}, {5, u"end", 5}};
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageW(list, K().insert, WPARAM(c.at), LPARAM(c.text)), c.result) << c.at;
    EXPECT_EQ(Entries(list),
              (std::vector<std::u16string>{u"first", u"b", u"middle", u"a", u"last", u"end"}));
}

TEST_P(Lists, InsertingIntoASortedListDoesNotSort)
{
    HWND list = MakeList(K().sorted);
    Add(list, u"b");
    EXPECT_EQ(SendMessageW(list, K().insert, WPARAM(-1), LPARAM(u"a")), 1);
    EXPECT_EQ(Entries(list), (std::vector<std::u16string>{u"b", u"a"}));
}

TEST_P(Lists, TheSelectStringSearchStartsAfterTheGivenEntryAndWraps)
{
    HWND list = MakeList(K().sorted);
    for (LPCWSTR text : {u"Job", u"Job2", u"Reading"})
        Add(list, text);
    struct Case {
        int start;
        LPCWSTR text;
        LRESULT prefix, exact;
    } cases[] = {
        {0, u"Job", 1, 0}, {-1, u"Job", 0, 0},    {1, u"job", 0, 0},        {2, u"JOB2", 1, 1},
        {2, u"re", 2, -1}, {1, u"Reading", 2, 2}, {99, u"Job", 0, 0},       {-7, u"Job2", 1, 1},
        {0, u"x", -1, -1}, {0, u"Jobs", -1, -1},  {0, u"Reading!", -1, -1}, {0, u"", 1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageW(list, K().find, WPARAM(c.start), LPARAM(c.text)), c.prefix)
            << K().name << " find " << c.start;
        EXPECT_EQ(SendMessageW(list, K().findExact, WPARAM(c.start), LPARAM(c.text)), c.exact)
            << K().name << " exact " << c.start;
    }
    EXPECT_EQ(SendMessageW(list, K().find, 0, 0), -1);
    EXPECT_EQ(SendMessageW(list, K().findExact, 0, 0), -1);

    // Selecting: found, it is chosen; not found, the selection stays.
    EXPECT_EQ(SendMessageW(list, K().select, 0, LPARAM(u"Job")), 1);
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(SendMessageW(list, K().select, WPARAM(-1), LPARAM(u"Sport")), -1);
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(SendMessageW(list, K().select, WPARAM(-1), 0), -1);
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(SendMessageW(list, K().select, 1, LPARAM(u"R")), 2);
    EXPECT_EQ(Selected(list), 2);
    EXPECT_TRUE(commands.empty()) << "the program's selection sends nothing";
}

TEST_P(Lists, SearchingAnEmptyListFindsNothing)
{
    HWND list = MakeList(K().sorted);
    EXPECT_EQ(SendMessageW(list, K().find, WPARAM(-1), LPARAM(u"")), -1);
    EXPECT_EQ(SendMessageW(list, K().select, WPARAM(-1), LPARAM(u"a")), -1);
}

TEST_P(Lists, TextsAndItemDataByIndex)
{
    HWND list = MakeList(K().sorted);
    Add(list, u"Job");
    Add(list, u"Sport");
    EXPECT_EQ(SendMessageW(list, K().textLength, 1, 0), 5);
    EXPECT_EQ(Entry(list, 1), u"Sport");
    for (int bad : {-1, 2, 100}) {
        WCHAR buffer[8] = {};
        EXPECT_EQ(SendMessageW(list, K().textLength, WPARAM(bad), 0), -1) << bad;
        EXPECT_EQ(SendMessageW(list, K().text, WPARAM(bad), LPARAM(buffer)), -1) << bad;
        EXPECT_EQ(SendMessageW(list, K().getData, WPARAM(bad), 0), -1) << bad;
        EXPECT_EQ(SendMessageW(list, K().setData, WPARAM(bad), 5), -1) << bad;
    }
    EXPECT_EQ(SendMessageW(list, K().text, 0, 0), -1);
    EXPECT_EQ(SendMessageW(list, K().getData, 1, 0), 0);
    EXPECT_EQ(SendMessageW(list, K().setData, 1, 51439), 0);
    EXPECT_EQ(SendMessageW(list, K().getData, 1, 0), 51439);
    EXPECT_EQ(SendMessageW(list, K().getData, 0, 0), 0);
}

TEST_P(Lists, SelectingAndDeleting)
{
    HWND list = MakeList(K().sorted);
    for (LPCWSTR text : {u"a", u"b", u"c", u"d"})
        Add(list, text);
    EXPECT_EQ(SendMessageW(list, K().setSel, 2, 0), 2);
    EXPECT_EQ(Selected(list), 2);
    // An entry before the selection goes: the selection moves with its entry.
    EXPECT_EQ(SendMessageW(list, K().remove, 0, 0), 3);
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(Entry(list, 1), u"c");
    // The selected entry goes: nothing is selected.
    EXPECT_EQ(SendMessageW(list, K().remove, 1, 0), 2);
    EXPECT_EQ(Selected(list), -1);
    EXPECT_EQ(SendMessageW(list, K().remove, 2, 0), -1);
    EXPECT_EQ(SendMessageW(list, K().remove, WPARAM(-1), 0), -1);
    EXPECT_EQ(SendMessageW(list, K().setSel, WPARAM(-1), 0), -1);
    EXPECT_EQ(Selected(list), -1);
    EXPECT_EQ(SendMessageW(list, K().reset, 0, 0), 0);
    EXPECT_EQ(Count(list), 0);
    EXPECT_TRUE(commands.empty());
}

INSTANTIATE_TEST_SUITE_P(BothKinds, Lists, testing::Values(dropDown, listBox),
                         [](const testing::TestParamInfo<ListKind>& info) {
                             return std::string(info.param.name);
                         });
} // namespace
