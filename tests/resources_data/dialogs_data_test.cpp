// The program's dialog templates as the dialog manager finds and reads them: each one's header,
// caption and font, then its controls in order with their ids, classes, styles, captions and
// rectangles. The templates are read word by word here, independently of the tables that build
// them.
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/dialog_template.h"
#include "platform/resources.h"
#include "resources/data/resource_data.h"
#include "resources/strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace
{
// ---- A reader of template words --------------------------------------------------------------

struct ReadItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::u16string windowClass, text;
};
struct ReadTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu, windowClass, caption;
    WORD pointSize = 0;
    std::u16string typeface;
    std::vector<ReadItem> items;
};

class WordReader
{
  public:
    WordReader(const WORD* words, size_t count) : words_(words), count_(count) {}
    bool Failed() const { return failed_; }
    size_t At() const { return at_; }
    WORD Word()
    {
        if (at_ >= count_) {
            failed_ = true;
            return 0;
        }
        return words_[at_++];
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | (DWORD(Word()) << 16);
    }
    short Short() { return short(Word()); }
    // An ordinal (0xFFFF, value) is kept as those two words; a text up to its terminating 0.
    std::u16string Name()
    {
        std::u16string name;
        const WORD first = Word();
        if (first == 0xFFFF) {
            name = {char16_t(0xFFFF), char16_t(Word())};
            return name;
        }
        for (WORD w = first; w != 0 && !failed_; w = Word())
            name.push_back(char16_t(w));
        return name;
    }
    void Align() { at_ = (at_ + 1) & ~size_t(1); }
    void Skip(size_t words)
    {
        if (at_ + words > count_)
            failed_ = true;
        else
            at_ += words;
    }

  private:
    const WORD* words_;
    size_t count_;
    size_t at_ = 0;
    bool failed_ = false;
};

// The template in `bytes` bytes, or nothing when it stops short of what its words announce or
// leaves words over.
std::optional<ReadTemplate> Read(const void* data, size_t bytes)
{
    if (!data || bytes % sizeof(WORD) != 0)
        return std::nullopt;
    WordReader r(static_cast<const WORD*>(data), bytes / sizeof(WORD));
    ReadTemplate t;
    t.style = r.Dword();
    t.exStyle = r.Dword();
    const WORD count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    t.menu = r.Name();
    t.windowClass = r.Name();
    t.caption = r.Name();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.typeface = r.Name();
    }
    for (WORD i = 0; i < count && !r.Failed(); ++i) {
        r.Align();
        ReadItem item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.Word();
        item.windowClass = r.Name();
        item.text = r.Name();
        const WORD creationBytes = r.Word();
        r.Skip((creationBytes + 1) / 2);
        t.items.push_back(item);
    }
    if (r.Failed() || r.At() * sizeof(WORD) != bytes)
        return std::nullopt;
    return t;
}

// ---- What each dialog must hold ------------------------------------------------------------

enum class Kind {
    Label,
    CentredLabel,
    Icon,
    GroupBox,
    Push,
    DefaultPush,
    CheckBox,
    FirstRadio,
    Radio,
    Edit,
    DropDownList,
    SortedDropDownList,
    SortedListBox,
    DatePicker,
};
enum : unsigned { HiddenAtFirst = 1, DisabledAtFirst = 2, EndsRadioGroup = 4 };

struct PixelRect {
    int x, y, cx, cy;
};
struct ExpectedControl {
    WORD id;
    Kind kind;
    const char16_t* text; // null: no caption
    std::optional<PixelRect> narrow = std::nullopt;
    unsigned flags = 0;
};
struct ExpectedDialog {
    const char* name;
    UINT id;
    const char16_t* caption; // null: no caption bar
    const char16_t* typeface;
    bool laidOutByCode;
    std::vector<ExpectedControl> controls;
};

// Names a dialog's cases in test reports.
void PrintTo(const ExpectedDialog& dialog, std::ostream* out)
{
    *out << dialog.name << " (" << dialog.id << ")";
}

constexpr WORD NoId = 0xFFFF;

std::vector<ExpectedControl> ExportOptions(WORD f)
{
    return {
        {WORD(f + 0), Kind::GroupBox, u"Comma Separated Values file", PixelRect{6, 5, 228, 45}},
        {WORD(f + 1), Kind::Label, u"Name:", PixelRect{14, 25, 40, 18}},
        {WORD(f + 2), Kind::Edit, nullptr, PixelRect{65, 22, 140, 20}},
        {WORD(f + 3), Kind::Label, u"TimeType:", PixelRect{13, 56, 70, 18}},
        {WORD(f + 4), Kind::DropDownList, nullptr, PixelRect{90, 54, 140, 18}},
        {WORD(f + 5), Kind::GroupBox, u"Save file as", PixelRect{6, 80, 110, 60}},
        {WORD(f + 6), Kind::FirstRadio, u"ASCII", PixelRect{15, 95, 80, 18}},
        {WORD(f + 7), Kind::Radio, u"UNICODE", PixelRect{15, 115, 80, 18}},
        {WORD(f + 8), Kind::GroupBox, u"Save in folder", PixelRect{125, 80, 110, 60},
         EndsRadioGroup},
        {WORD(f + 9), Kind::FirstRadio, u"Business", PixelRect{135, 95, 77, 18}},
        {WORD(f + 10), Kind::Radio, u"Personal", PixelRect{135, 115, 77, 18}},
        {WORD(f + 11), Kind::Push, u"Cancel", PixelRect{8, 148, 80, 21}, EndsRadioGroup},
        {WORD(f + 12), Kind::DefaultPush, u"OK", PixelRect{153, 148, 80, 21}},
    };
}

const std::vector<ExpectedDialog>& ExpectedDialogs()
{
    static const std::vector<ExpectedDialog> dialogs = {
        {"About",
         102,
         nullptr,
         u"Liberation Sans",
         false,
         {{NoId, Kind::Icon, nullptr},
          {NoId, Kind::Label, u"Zentally"},
          {NoId, Kind::Label, u"Personal Time Manager"},
          {NoId, Kind::Label, u"Version:"},
          {1066, Kind::Label, nullptr}}},
        {"RegisterTime",
         108,
         u"Register Time",
         u"Liberation Sans",
         true,
         {{1003, Kind::Label, u"Date: ", PixelRect{4, 35, 35, 16}},
          {1004, Kind::Label, u"Time (h m):", PixelRect{4, 61, 71, 16}},
          {1005, Kind::Label, u"Category:", PixelRect{4, 91, 60, 16}},
          {1006, Kind::Label, u"Memo:", PixelRect{4, 120, 40, 16}},
          {1007, Kind::DatePicker, nullptr, PixelRect{75, 32, 95, 22}},
          {1008, Kind::SortedDropDownList, nullptr, PixelRect{75, 60, 45, 110}},
          {1009, Kind::SortedDropDownList, nullptr, PixelRect{125, 60, 45, 110}},
          {1010, Kind::SortedDropDownList, nullptr, PixelRect{75, 90, 158, 110}},
          {1011, Kind::Edit, nullptr, PixelRect{75, 115, 158, 22}},
          {1012, Kind::Push, u"Delete", PixelRect{175, 32, 57, 48}, HiddenAtFirst},
          {1013, Kind::Push, u"Cancel", PixelRect{5, 150, 70, 24}},
          {1014, Kind::DefaultPush, u"OK", PixelRect{163, 150, 70, 24}}}},
        {"EditCategories",
         124,
         u"Edit Categories...",
         u"Liberation Sans",
         false,
         {{1041, Kind::SortedListBox, nullptr},
          {1032, Kind::DefaultPush, u"New"},
          {1033, Kind::Push, u"Rename"},
          {1034, Kind::Push, u"Delete"},
          {1042, Kind::CheckBox, u"Apply Rename and Delete to records"}}},
        {"NewCategory",
         125,
         u"New category",
         u"Liberation Sans",
         true,
         {{1043, Kind::Label, u"Enter a new category name:", PixelRect{6, 20, 160, 18}},
          {1044, Kind::Edit, nullptr, PixelRect{6, 43, 227, 21}},
          {1045, Kind::Push, u"OK", PixelRect{6, 80, 90, 20}, DisabledAtFirst},
          {1046, Kind::DefaultPush, u"Cancel", PixelRect{142, 80, 90, 20}}}},
        {"EditCategory",
         126,
         u"Edit category",
         u"Liberation Sans",
         true,
         {{1036, Kind::Label, u"Edit category name:", PixelRect{6, 20, 150, 18}},
          {1037, Kind::Edit, nullptr, PixelRect{6, 43, 227, 21}},
          {1038, Kind::Push, u"OK", PixelRect{6, 80, 90, 20}},
          {1039, Kind::DefaultPush, u"Cancel", PixelRect{142, 80, 90, 20}}}},
        {"TimeReport",
         127,
         u"Define time range",
         u"Liberation Sans",
         true,
         {{1050, Kind::GroupBox, u"Define Date range", PixelRect{6, 5, 226, 70}},
          {1051, Kind::Label, u"Starts:", PixelRect{12, 25, 40, 16}},
          {1052, Kind::Label, u"Ends:", PixelRect{12, 50, 35, 16}},
          {1053, Kind::DatePicker, nullptr, PixelRect{59, 25, 95, 18}},
          {1054, Kind::DatePicker, nullptr, PixelRect{59, 50, 95, 18}},
          {1055, Kind::GroupBox, u"Category", PixelRect{6, 79, 226, 45}},
          {1056, Kind::SortedDropDownList, nullptr, PixelRect{12, 97, 142, 100}},
          {1057, Kind::CheckBox, u"All", PixelRect{165, 97, 40, 18}},
          {1058, Kind::Push, u"Report", PixelRect{7, 132, 90, 21}},
          {1059, Kind::Push, u"Export...", PixelRect{7, 132, 90, 21}, HiddenAtFirst},
          {1060, Kind::Push, u"Reset", PixelRect{140, 133, 90, 21}, HiddenAtFirst},
          {1061, Kind::GroupBox, u"Registered Time", PixelRect{6, 170, 226, 45}, HiddenAtFirst},
          {1062, Kind::Label, u"Total (hh mm):", PixelRect{12, 190, 100, 16}, HiddenAtFirst},
          {1063, Kind::CentredLabel, nullptr, PixelRect{135, 189, 80, 18}, HiddenAtFirst}}},
        {"DeleteByRange",
         129,
         u"Delete by Range",
         u"System",
         true,
         {{1110, Kind::GroupBox, u"Define Date range", PixelRect{6, 35, 228, 70}},
          {1111, Kind::Label, u"Starts:", PixelRect{17, 55, 40, 18}},
          {1112, Kind::DatePicker, nullptr, PixelRect{80, 53, 115, 20}},
          {1113, Kind::Label, u"Ends:", PixelRect{17, 78, 40, 18}},
          {1114, Kind::DatePicker, nullptr, PixelRect{80, 76, 115, 20}},
          {1115, Kind::Push, u"Find Records", PixelRect{8, 115, 100, 21}},
          {1116, Kind::Push, u"Cancel", PixelRect{131, 115, 100, 21}}}},
        {"ExportRecords", 1070, u"Export File Options", u"Liberation Sans", true,
         ExportOptions(1071)},
        {"ExportReport", 1091, u"Export File Options", u"Liberation Sans", true,
         ExportOptions(1092)},
        {"ViewOptions",
         1120,
         u"View Options",
         u"Liberation Sans",
         true,
         {{1121, Kind::GroupBox, u"Date view type", PixelRect{6, 28, 228, 69}},
          {1122, Kind::DropDownList, nullptr, PixelRect{18, 47, 156, 140}},
          {1123, Kind::Label, u"Sample:", PixelRect{18, 73, 65, 18}},
          {1124, Kind::CentredLabel, nullptr, PixelRect{94, 71, 80, 18}},
          {1125, Kind::GroupBox, u"Time view type", PixelRect{6, 101, 228, 69}},
          {1126, Kind::DropDownList, nullptr, PixelRect{18, 120, 156, 140}},
          {1127, Kind::Label, u"Sample:", PixelRect{18, 145, 65, 18}},
          {1128, Kind::CentredLabel, nullptr, PixelRect{94, 145, 80, 18}},
          {1129, Kind::Push, u"Cancel", PixelRect{7, 175, 80, 21}},
          {1130, Kind::DefaultPush, u"OK", PixelRect{153, 175, 80, 21}}}},
    };
    return dialogs;
}

const std::u16string ButtonClass = DIALOG_CLASS_BUTTON;
const std::u16string EditClass = DIALOG_CLASS_EDIT;
const std::u16string StaticClass = DIALOG_CLASS_STATIC;
const std::u16string ListBoxClass = DIALOG_CLASS_LISTBOX;
const std::u16string ComboBoxClass = DIALOG_CLASS_COMBOBOX;

// A full-screen dialog on the upright screen is 240 x 268 pixels; turned, 320 x 188.
constexpr short DialogAcross = 160;
constexpr short DialogDown = 168;
constexpr short TurnedDialogDown = 117;

HINSTANCE Program()
{
    return RegisterResourceModule(&ZentallyResources);
}

std::optional<ReadTemplate> Load(UINT id, DWORD* size = nullptr)
{
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found)
        return std::nullopt;
    const DWORD bytes = SizeofResource(Program(), found);
    if (size)
        *size = bytes;
    return Read(LockResource(LoadResource(Program(), found)), bytes);
}

// Checks a control's class and the styles its kind stands for.
void ExpectKind(const ReadItem& item, Kind kind)
{
    const DWORD s = item.style;
    const DWORD button = s & BS_TYPEMASK;
    switch (kind) {
    case Kind::Label:
    case Kind::CentredLabel:
    case Kind::Icon: {
        EXPECT_EQ(item.windowClass, StaticClass);
        const DWORD type = s & SS_TYPEMASK;
        EXPECT_EQ(type, kind == Kind::Label          ? DWORD(SS_LEFT)
                        : kind == Kind::CentredLabel ? DWORD(SS_CENTER)
                                                     : DWORD(SS_ICON));
        EXPECT_FALSE(s & WS_TABSTOP);
        break;
    }
    case Kind::GroupBox:
        EXPECT_EQ(item.windowClass, ButtonClass);
        EXPECT_EQ(button, DWORD(BS_GROUPBOX));
        EXPECT_FALSE(s & WS_TABSTOP);
        break;
    case Kind::Push:
    case Kind::DefaultPush:
    case Kind::CheckBox:
    case Kind::FirstRadio:
    case Kind::Radio: {
        EXPECT_EQ(item.windowClass, ButtonClass);
        const DWORD type = kind == Kind::Push          ? DWORD(BS_PUSHBUTTON)
                           : kind == Kind::DefaultPush ? DWORD(BS_DEFPUSHBUTTON)
                           : kind == Kind::CheckBox    ? DWORD(BS_AUTOCHECKBOX)
                                                       : DWORD(BS_AUTORADIOBUTTON);
        EXPECT_EQ(button, type);
        EXPECT_TRUE(s & WS_TABSTOP);
        break;
    }
    case Kind::Edit:
        EXPECT_EQ(item.windowClass, EditClass);
        EXPECT_TRUE(s & WS_BORDER);
        EXPECT_TRUE(s & ES_AUTOHSCROLL);
        EXPECT_FALSE(s & (ES_MULTILINE | ES_PASSWORD | ES_READONLY | ES_NUMBER));
        EXPECT_TRUE(s & WS_TABSTOP);
        break;
    case Kind::DropDownList:
    case Kind::SortedDropDownList:
        EXPECT_EQ(item.windowClass, ComboBoxClass);
        EXPECT_EQ(s & 3, DWORD(CBS_DROPDOWNLIST)); // no edit field: only an entry can be picked
        EXPECT_EQ(bool(s & CBS_SORT), kind == Kind::SortedDropDownList);
        EXPECT_TRUE(s & WS_VSCROLL);
        EXPECT_TRUE(s & WS_TABSTOP);
        break;
    case Kind::SortedListBox:
        EXPECT_EQ(item.windowClass, ListBoxClass);
        EXPECT_TRUE(s & LBS_SORT);
        EXPECT_TRUE(s & LBS_NOTIFY);
        EXPECT_FALSE(s & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
        EXPECT_TRUE(s & WS_VSCROLL);
        EXPECT_TRUE(s & WS_BORDER);
        EXPECT_TRUE(s & WS_TABSTOP);
        break;
    case Kind::DatePicker:
        EXPECT_EQ(item.windowClass, std::u16string(DATETIMEPICK_CLASSW));
        EXPECT_EQ(s & (DTS_LONGDATEFORMAT | DTS_UPDOWN | DTS_SHOWNONE), DWORD(0));
        EXPECT_TRUE(s & WS_TABSTOP);
        break;
    }
}

class DialogTemplate : public testing::TestWithParam<ExpectedDialog>
{
};

TEST_P(DialogTemplate, IsFoundByNumberAndReadToItsLastWord)
{
    const ExpectedDialog& want = GetParam();
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(want.id), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const void* data = LockResource(LoadResource(Program(), found));
    ASSERT_NE(data, nullptr);
    const DWORD size = SizeofResource(Program(), found);
    // Read refuses words left over or missing, so the size is exactly the template's words.
    EXPECT_TRUE(Read(data, size).has_value());
    const DIALOGRESOURCE* resource = nullptr;
    for (const DIALOGRESOURCE& d : ZentallyDialogs) {
        if (d.id == want.id)
            resource = &d;
    }
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(size, resource->size);
    EXPECT_EQ(data, resource->data);
}

TEST_P(DialogTemplate, IsAFullScreenPopUpWithItsCaptionAndFont)
{
    const ExpectedDialog& want = GetParam();
    const auto t = Load(want.id);
    ASSERT_TRUE(t.has_value());
    EXPECT_TRUE(t->style & DS_SETFONT);
    EXPECT_TRUE(t->style & WS_POPUP);
    EXPECT_FALSE(t->style & WS_CHILD);
    EXPECT_EQ((t->style & WS_CAPTION) == DWORD(WS_CAPTION), want.caption != nullptr);
    EXPECT_EQ(t->caption, std::u16string(want.caption ? want.caption : u""));
    EXPECT_EQ(t->exStyle, DWORD(0));
    EXPECT_EQ(t->menu, std::u16string());
    EXPECT_EQ(t->windowClass, std::u16string());
    EXPECT_EQ(t->pointSize, 8);
    EXPECT_EQ(t->typeface, std::u16string(want.typeface));
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 0);
    EXPECT_EQ(t->cx, DialogAcross);
    EXPECT_EQ(t->cy, DialogDown);
}

TEST_P(DialogTemplate, HoldsItsControlsInOrderWithClassStylesAndCaptions)
{
    const ExpectedDialog& want = GetParam();
    const auto t = Load(want.id);
    ASSERT_TRUE(t.has_value());
    ASSERT_EQ(t->items.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const ExpectedControl& c = want.controls[i];
        const ReadItem& item = t->items[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (" << c.id << ")");
        EXPECT_EQ(item.id, c.id);
        ExpectKind(item, c.kind);
        EXPECT_TRUE(item.style & WS_CHILD);
        EXPECT_EQ(bool(item.style & WS_VISIBLE), !(c.flags & HiddenAtFirst));
        EXPECT_EQ(bool(item.style & WS_DISABLED), bool(c.flags & DisabledAtFirst));
        EXPECT_EQ(bool(item.style & WS_GROUP),
                  c.kind == Kind::FirstRadio || (c.flags & EndsRadioGroup));
        EXPECT_EQ(item.exStyle, DWORD(0));
        if (c.kind == Kind::Icon) {
            EXPECT_EQ(item.text, (std::u16string{char16_t(0xFFFF), char16_t(101)})); // icon 101
        } else {
            EXPECT_EQ(item.text, std::u16string(c.text ? c.text : u""));
        }
    }
}

TEST_P(DialogTemplate, GivesNoTwoControlsOneId)
{
    const auto t = Load(GetParam().id);
    ASSERT_TRUE(t.has_value());
    std::set<WORD> seen;
    for (const ReadItem& item : t->items) {
        if (item.id != NoId) {
            EXPECT_TRUE(seen.insert(item.id).second) << "id " << item.id << " twice";
        }
    }
}

// 1.5 pixels a horizontal unit and 1.6 a vertical one, to the nearest unit.
TEST_P(DialogTemplate, PlacesControlsWhereTheNarrowLayoutPutsThem)
{
    const ExpectedDialog& want = GetParam();
    const auto t = Load(want.id);
    ASSERT_TRUE(t.has_value());
    ASSERT_EQ(t->items.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const ExpectedControl& c = want.controls[i];
        if (!c.narrow)
            continue;
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        const ReadItem& item = t->items[i];
        EXPECT_EQ(item.x, std::lround(c.narrow->x / 1.5));
        EXPECT_EQ(item.y, std::lround(c.narrow->y * 5.0 / 8.0));
        EXPECT_EQ(item.cx, std::lround(c.narrow->cx / 1.5));
        EXPECT_EQ(item.cy, std::lround(c.narrow->cy * 5.0 / 8.0));
    }
}

// A dialog that never places its controls itself must show them on the turned screen too.
TEST_P(DialogTemplate, KeepsEveryControlInsideTheDialog)
{
    const ExpectedDialog& want = GetParam();
    const auto t = Load(want.id);
    ASSERT_TRUE(t.has_value());
    const short bottom = want.laidOutByCode ? DialogDown : TurnedDialogDown;
    for (const ReadItem& item : t->items) {
        SCOPED_TRACE(testing::Message() << "control " << item.id);
        EXPECT_GE(item.x, 0);
        EXPECT_GE(item.y, 0);
        EXPECT_GT(item.cx, 0);
        EXPECT_GT(item.cy, 0);
        EXPECT_LE(item.x + item.cx, DialogAcross);
        EXPECT_LE(item.y + item.cy, bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(ProgramDialogs, DialogTemplate, testing::ValuesIn(ExpectedDialogs()),
                         [](const testing::TestParamInfo<ExpectedDialog>& info) {
                             return std::string(info.param.name);
                         });

TEST(ProgramDialogs, AreTheTenTheProgramRunsInAscendingOrder)
{
    ASSERT_EQ(ZentallyResources.dialogs, ZentallyDialogs);
    ASSERT_EQ(ZentallyResources.dialogCount, ZentallyDialogCount);
    ASSERT_EQ(ZentallyDialogCount, ExpectedDialogs().size());
    for (size_t i = 0; i < ZentallyDialogCount; ++i)
        EXPECT_EQ(ZentallyDialogs[i].id, ExpectedDialogs()[i].id);
}

TEST(ProgramDialogs, NumbersOfNoDialogAreNotFound)
{
    // 501 is the report list the Time Report makes itself; 105 the menu bar; 101 the icon.
    for (UINT id : {101u, 103u, 105u, 128u, 501u, 1066u, 1071u, 1121u, 65535u}) {
        SetLastError(0);
        EXPECT_EQ(FindResourceW(Program(), MAKEINTRESOURCEW(id), RT_DIALOG), nullptr) << id;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND)) << id;
    }
}

// The reader above must catch a template cut short or padded, or the size check could not fail.
TEST(TemplateReader, RefusesATemplateCutShortOrWithWordsLeftOver)
{
    DWORD size = 0;
    ASSERT_TRUE(Load(127, &size).has_value());
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(127), RT_DIALOG);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(Program(), found)));
    std::vector<WORD> copy(words, words + size / sizeof(WORD));
    for (size_t cut = 0; cut < copy.size(); ++cut)
        EXPECT_FALSE(Read(copy.data(), cut * sizeof(WORD)).has_value()) << "cut at word " << cut;
    EXPECT_FALSE(Read(copy.data(), size - 1).has_value());
    copy.push_back(0);
    copy.push_back(0);
    EXPECT_FALSE(Read(copy.data(), copy.size() * sizeof(WORD)).has_value());
    EXPECT_FALSE(Read(nullptr, 0).has_value());
}
} // namespace
