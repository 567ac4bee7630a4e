// The program's ten dialog templates, each a table of its controls turned into the template's
// words when the program is compiled (platform/dialog_template.h). The dialogs are full screen:
// every one but Edit Categories and About places its controls again in WM_SIZE from pixel tables
// of its own, so the rectangles here are where the controls stand until then, which is the
// narrow (240 x 320) layout of those tables.
//
// Dialog units: the handheld's system font, an 8-point sans serif, makes a horizontal dialog unit
// about 1.5 pixels and a vertical one about 1.6 pixels; a pixel rectangle is turned into units by
// those ratios, each number rounded to the nearest unit (Px below). Edit Categories and About are
// never laid out by code, so their rectangles are written in units (Du) and stay inside the
// dialog of a turned screen (320 x 188 pixels) as well.
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/dialog_template.h"
#include "resources/data/resource_data.h"

#include <array>
#include <iterator>

namespace
{
struct Units {
    short x, y, cx, cy;
};

// Nearest dialog unit of a horizontal pixel measure (px / 1.5) and of a vertical one (px / 1.6).
constexpr short AcrossUnits(int pixels)
{
    return short((pixels * 4 + 3) / 6);
}
constexpr short DownUnits(int pixels)
{
    return short((pixels * 10 + 8) / 16);
}
constexpr Units Px(int x, int y, int cx, int cy)
{
    return {AcrossUnits(x), DownUnits(y), AcrossUnits(cx), DownUnits(cy)};
}
constexpr Units Du(short x, short y, short cx, short cy)
{
    return {x, y, cx, cy};
}

// The client area of a full-screen dialog on the upright screen, between the navigation bar and
// the menu bar: 240 x 268 pixels.
constexpr short DialogAcross = AcrossUnits(240);
constexpr short DialogDown = DownUnits(268);

// The system font: 8 points, sans serif. Liberation Sans is the sans serif the device installs;
// a dialog that names its own face keeps it.
constexpr WORD SystemPointSize = 8;
constexpr LPCWSTR SansSerifFace = u"Liberation Sans";

// The id of a control the program never asks for (IDC_STATIC as a template word).
constexpr WORD NoId = 0xFFFF;

constexpr DWORD Shown = WS_CHILD | WS_VISIBLE;

constexpr DIALOGITEMENTRY Control(DWORD style, Units at, WORD id, LPCWSTR windowClass, LPCWSTR text)
{
    return {style, at.x, at.y, at.cx, at.cy, id, windowClass, text};
}

constexpr DIALOGITEMENTRY Label(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | SS_LEFT, at, id, DIALOG_CLASS_STATIC, text);
}
constexpr DIALOGITEMENTRY CentredLabel(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | SS_CENTER, at, id, DIALOG_CLASS_STATIC, text);
}
// An icon resource shown by a static: its text is the icon's number as an ordinal.
constexpr DIALOGITEMENTRY IconPicture(WORD id, LPCWSTR icon, Units at)
{
    return Control(Shown | SS_ICON, at, id, DIALOG_CLASS_STATIC, icon);
}
constexpr DIALOGITEMENTRY GroupBox(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | BS_GROUPBOX, at, id, DIALOG_CLASS_BUTTON, text);
}
constexpr DIALOGITEMENTRY PushButton(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | WS_TABSTOP | BS_PUSHBUTTON, at, id, DIALOG_CLASS_BUTTON, text);
}
constexpr DIALOGITEMENTRY DefaultButton(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | WS_TABSTOP | BS_DEFPUSHBUTTON, at, id, DIALOG_CLASS_BUTTON, text);
}
constexpr DIALOGITEMENTRY CheckBox(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | WS_TABSTOP | BS_AUTOCHECKBOX, at, id, DIALOG_CLASS_BUTTON, text);
}
// The first radio button of a group starts it; the next control that starts a group ends it.
constexpr DIALOGITEMENTRY FirstRadio(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, at, id, DIALOG_CLASS_BUTTON,
                   text);
}
constexpr DIALOGITEMENTRY Radio(WORD id, LPCWSTR text, Units at)
{
    return Control(Shown | WS_TABSTOP | BS_AUTORADIOBUTTON, at, id, DIALOG_CLASS_BUTTON, text);
}
constexpr DIALOGITEMENTRY LineEdit(WORD id, Units at)
{
    return Control(Shown | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL, at, id,
                   DIALOG_CLASS_EDIT, nullptr);
}
// A drop-down list without an edit field; its height includes the part that drops down.
constexpr DIALOGITEMENTRY DropDownList(WORD id, Units at)
{
    return Control(Shown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, at, id,
                   DIALOG_CLASS_COMBOBOX, nullptr);
}
constexpr DIALOGITEMENTRY SortedDropDownList(WORD id, Units at)
{
    return Control(Shown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, at, id,
                   DIALOG_CLASS_COMBOBOX, nullptr);
}
constexpr DIALOGITEMENTRY SortedListBox(WORD id, Units at)
{
    return Control(Shown | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT, at, id,
                   DIALOG_CLASS_LISTBOX, nullptr);
}
constexpr DIALOGITEMENTRY DatePicker(WORD id, Units at)
{
    return Control(Shown | WS_TABSTOP | DTS_SHORTDATEFORMAT, at, id, DATETIMEPICK_CLASSW, nullptr);
}

// A control the dialog shows only later.
constexpr DIALOGITEMENTRY Hidden(DIALOGITEMENTRY item)
{
    item.style &= ~DWORD(WS_VISIBLE);
    return item;
}
constexpr DIALOGITEMENTRY Disabled(DIALOGITEMENTRY item)
{
    item.style |= WS_DISABLED;
    return item;
}
// Ends the radio-button group before it.
constexpr DIALOGITEMENTRY StartsGroup(DIALOGITEMENTRY item)
{
    item.style |= WS_GROUP;
    return item;
}

// A full-screen dialog at the top left of its area; without a caption it has no caption bar.
template <typename Items>
constexpr DIALOGTABLE FullScreenDialog(LPCWSTR caption, const Items& items,
                                       LPCWSTR typeface = SansSerifFace)
{
    DIALOGTABLE table = {};
    table.style = DS_SETFONT | WS_POPUP | (caption ? WS_CAPTION : 0);
    table.cx = DialogAcross;
    table.cy = DialogDown;
    table.caption = caption;
    table.pointSize = SystemPointSize;
    table.typeface = typeface;
    table.items = std::data(items);
    table.itemCount = std::size(items);
    return table;
}

// About (102): the program's icon, name, description and version; closed by the Done button.
constexpr DIALOGITEMENTRY AboutItems[] = {
    IconPicture(NoId, u"\xFFFF\x0065", Du(8, 8, 21, 20)), // icon 101
    Label(NoId, u"Zentally", Du(40, 8, 112, 10)),
    Label(NoId, u"Personal Time Manager", Du(40, 20, 112, 10)),
    Label(NoId, u"Version:", Du(40, 36, 32, 10)),
    Label(1066, nullptr, Du(74, 36, 40, 10)), // the version number, set when the dialog opens
};
constexpr DIALOGTABLE About = FullScreenDialog(nullptr, AboutItems);

// Register Time (108): a record's date, duration, category and memo.
constexpr DIALOGITEMENTRY RegisterTimeItems[] = {
    Label(1003, u"Date: ", Px(4, 35, 35, 16)),
    Label(1004, u"Time (h m):", Px(4, 61, 71, 16)),
    Label(1005, u"Category:", Px(4, 91, 60, 16)),
    Label(1006, u"Memo:", Px(4, 120, 40, 16)),
    DatePicker(1007, Px(75, 32, 95, 22)),
    SortedDropDownList(1008, Px(75, 60, 45, 110)),            // hours
    SortedDropDownList(1009, Px(125, 60, 45, 110)),           // minutes
    SortedDropDownList(1010, Px(75, 90, 158, 110)),           // category
    LineEdit(1011, Px(75, 115, 158, 22)),                     // memo
    Hidden(PushButton(1012, u"Delete", Px(175, 32, 57, 48))), // shown when a record is edited
    PushButton(1013, u"Cancel", Px(5, 150, 70, 24)),
    DefaultButton(1014, u"OK", Px(163, 150, 70, 24)),
};
constexpr DIALOGTABLE RegisterTime = FullScreenDialog(u"Register Time", RegisterTimeItems);

// Edit Categories (124): the categories, sorted by the list box, and what can be done to them.
// Below the heading the dialog paints at its top (to 22 pixels down).
constexpr DIALOGITEMENTRY EditCategoriesItems[] = {
    SortedListBox(1041, Du(4, 16, 152, 60)),
    DefaultButton(1032, u"New", Du(4, 80, 48, 14)),
    PushButton(1033, u"Rename", Du(56, 80, 48, 14)),
    PushButton(1034, u"Delete", Du(108, 80, 48, 14)),
    CheckBox(1042, u"Apply Rename and Delete to records", Du(4, 100, 152, 12)),
};
constexpr DIALOGTABLE EditCategories = FullScreenDialog(u"Edit Categories...", EditCategoriesItems);

// New category (125): the name of a category to add; OK waits for some text.
constexpr DIALOGITEMENTRY NewCategoryItems[] = {
    Label(1043, u"Enter a new category name:", Px(6, 20, 160, 18)),
    LineEdit(1044, Px(6, 43, 227, 21)),
    Disabled(PushButton(1045, u"OK", Px(6, 80, 90, 20))),
    DefaultButton(1046, u"Cancel", Px(142, 80, 90, 20)),
};
constexpr DIALOGTABLE NewCategory = FullScreenDialog(u"New category", NewCategoryItems);

// Edit category (126): the new name of the category chosen in Edit Categories.
constexpr DIALOGITEMENTRY EditCategoryItems[] = {
    Label(1036, u"Edit category name:", Px(6, 20, 150, 18)),
    LineEdit(1037, Px(6, 43, 227, 21)),
    PushButton(1038, u"OK", Px(6, 80, 90, 20)),
    DefaultButton(1039, u"Cancel", Px(142, 80, 90, 20)),
};
constexpr DIALOGTABLE EditCategory = FullScreenDialog(u"Edit category", EditCategoryItems);

// Time Report (127): the range of dates and the category to total, then the single total; the
// list of totals per category (control 501) is made by the dialog when it is needed.
constexpr DIALOGITEMENTRY TimeReportItems[] = {
    GroupBox(1050, u"Define Date range", Px(6, 5, 226, 70)),
    Label(1051, u"Starts:", Px(12, 25, 40, 16)),
    Label(1052, u"Ends:", Px(12, 50, 35, 16)),
    DatePicker(1053, Px(59, 25, 95, 18)),
    DatePicker(1054, Px(59, 50, 95, 18)),
    GroupBox(1055, u"Category", Px(6, 79, 226, 45)),
    SortedDropDownList(1056, Px(12, 97, 142, 100)),
    CheckBox(1057, u"All", Px(165, 97, 40, 18)),
    PushButton(1058, u"Report", Px(7, 132, 90, 21)),
    Hidden(PushButton(1059, u"Export...", Px(7, 132, 90, 21))), // where Report stands
    Hidden(PushButton(1060, u"Reset", Px(140, 133, 90, 21))),
    Hidden(GroupBox(1061, u"Registered Time", Px(6, 170, 226, 45))),
    Hidden(Label(1062, u"Total (hh mm):", Px(12, 190, 100, 16))),
    Hidden(CentredLabel(1063, nullptr, Px(135, 189, 80, 18))), // the single total
};
constexpr DIALOGTABLE TimeReport = FullScreenDialog(u"Define time range", TimeReportItems);

// Delete by Range (129): the range of dates whose records are deleted. Its font is the system's
// by name.
constexpr DIALOGITEMENTRY DeleteByRangeItems[] = {
    GroupBox(1110, u"Define Date range", Px(6, 35, 228, 70)),
    Label(1111, u"Starts:", Px(17, 55, 40, 18)),
    DatePicker(1112, Px(80, 53, 115, 20)),
    Label(1113, u"Ends:", Px(17, 78, 40, 18)),
    DatePicker(1114, Px(80, 76, 115, 20)),
    PushButton(1115, u"Find Records", Px(8, 115, 100, 21)),
    PushButton(1116, u"Cancel", Px(131, 115, 100, 21)),
};
constexpr DIALOGTABLE DeleteByRange =
    FullScreenDialog(u"Delete by Range", DeleteByRangeItems, u"System");

// Export File Options, for the records (1070) and for the report's totals (1091): one layout
// whose control ids are counted from the first group box's (1071 and 1092). The list of duration
// formats keeps the order it is filled in, since an entry's place is its value.
constexpr std::array<DIALOGITEMENTRY, 13> ExportOptionsItems(int first)
{
    auto id = [first](int n) { return WORD(first + n); };
    return {{
        GroupBox(id(0), u"Comma Separated Values file", Px(6, 5, 228, 45)),
        Label(id(1), u"Name:", Px(14, 25, 40, 18)),
        LineEdit(id(2), Px(65, 22, 140, 20)),
        Label(id(3), u"TimeType:", Px(13, 56, 70, 18)),
        DropDownList(id(4), Px(90, 54, 140, 18)),
        GroupBox(id(5), u"Save file as", Px(6, 80, 110, 60)),
        FirstRadio(id(6), u"ASCII", Px(15, 95, 80, 18)),
        Radio(id(7), u"UNICODE", Px(15, 115, 80, 18)),
        StartsGroup(GroupBox(id(8), u"Save in folder", Px(125, 80, 110, 60))),
        FirstRadio(id(9), u"Business", Px(135, 95, 77, 18)),
        Radio(id(10), u"Personal", Px(135, 115, 77, 18)),
        StartsGroup(PushButton(id(11), u"Cancel", Px(8, 148, 80, 21))),
        DefaultButton(id(12), u"OK", Px(153, 148, 80, 21)),
    }};
}
constexpr auto ExportRecordsItems = ExportOptionsItems(1071);
constexpr DIALOGTABLE ExportRecords = FullScreenDialog(u"Export File Options", ExportRecordsItems);
constexpr auto ExportReportItems = ExportOptionsItems(1092);
constexpr DIALOGTABLE ExportReport = FullScreenDialog(u"Export File Options", ExportReportItems);

// View Options (1120): the date and duration formats, each with a sample; the lists keep the
// order they are filled in, since an entry's place is its value.
constexpr DIALOGITEMENTRY ViewOptionsItems[] = {
    GroupBox(1121, u"Date view type", Px(6, 28, 228, 69)),
    DropDownList(1122, Px(18, 47, 156, 140)),
    Label(1123, u"Sample:", Px(18, 73, 65, 18)),
    CentredLabel(1124, nullptr, Px(94, 71, 80, 18)), // the date sample
    GroupBox(1125, u"Time view type", Px(6, 101, 228, 69)),
    DropDownList(1126, Px(18, 120, 156, 140)),
    Label(1127, u"Sample:", Px(18, 145, 65, 18)),
    CentredLabel(1128, nullptr, Px(94, 145, 80, 18)), // the time sample
    PushButton(1129, u"Cancel", Px(7, 175, 80, 21)),
    DefaultButton(1130, u"OK", Px(153, 175, 80, 21)),
};
constexpr DIALOGTABLE ViewOptions = FullScreenDialog(u"View Options", ViewOptionsItems);

constexpr auto AboutWords = BuildDialogTemplate<DialogTemplateWords(About)>(About);
constexpr auto RegisterTimeWords =
    BuildDialogTemplate<DialogTemplateWords(RegisterTime)>(RegisterTime);
constexpr auto EditCategoriesWords =
    BuildDialogTemplate<DialogTemplateWords(EditCategories)>(EditCategories);
constexpr auto NewCategoryWords =
    BuildDialogTemplate<DialogTemplateWords(NewCategory)>(NewCategory);
constexpr auto EditCategoryWords =
    BuildDialogTemplate<DialogTemplateWords(EditCategory)>(EditCategory);
constexpr auto TimeReportWords = BuildDialogTemplate<DialogTemplateWords(TimeReport)>(TimeReport);
constexpr auto DeleteByRangeWords =
    BuildDialogTemplate<DialogTemplateWords(DeleteByRange)>(DeleteByRange);
constexpr auto ExportRecordsWords =
    BuildDialogTemplate<DialogTemplateWords(ExportRecords)>(ExportRecords);
constexpr auto ExportReportWords =
    BuildDialogTemplate<DialogTemplateWords(ExportReport)>(ExportReport);
constexpr auto ViewOptionsWords =
    BuildDialogTemplate<DialogTemplateWords(ViewOptions)>(ViewOptions);

template <size_t N> constexpr DIALOGRESOURCE Resource(UINT id, const std::array<WORD, N>& words)
{
    return {id, words.data(), N * sizeof(WORD)};
}
} // namespace

constinit const DIALOGRESOURCE ZentallyDialogs[ZentallyDialogCount] = {
    Resource(102, AboutWords),          Resource(108, RegisterTimeWords),
    Resource(124, EditCategoriesWords), Resource(125, NewCategoryWords),
    Resource(126, EditCategoryWords),   Resource(127, TimeReportWords),
    Resource(129, DeleteByRangeWords),  Resource(1070, ExportRecordsWords),
    Resource(1091, ExportReportWords),  Resource(1120, ViewOptionsWords),
};
