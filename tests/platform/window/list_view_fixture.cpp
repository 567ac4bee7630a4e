#include "tests/platform/window/list_view_fixture.h"

#include <sstream>

namespace list_view_test
{
namespace
{
LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    Note note{header->code};
    note.from = header->idFrom;
    if (header->code == NM_CLICK || header->code == NM_DBLCLK) {
        const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
        note.item = click->iItem;
        note.subItem = click->iSubItem;
        note.point = click->ptAction;
    } else if (header->code == LVN_KEYDOWN) {
        note.key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
    } else if (header->code != NM_RETURN) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        note.item = change->iItem;
        note.subItem = change->iSubItem;
        note.newState = change->uNewState;
        note.oldState = change->uOldState;
        note.changed = change->uChanged;
        note.param = change->lParam;
    }
    Notes().push_back(note);
    return OnNotify() ? OnNotify()(window, header) : 0;
}

std::string CodeName(UINT code)
{
    switch (code) {
    case LVN_ITEMCHANGING: return "ITEMCHANGING";
    case LVN_ITEMCHANGED: return "ITEMCHANGED";
    case LVN_INSERTITEM: return "INSERTITEM";
    case LVN_DELETEITEM: return "DELETEITEM";
    case LVN_DELETEALLITEMS: return "DELETEALLITEMS";
    case LVN_COLUMNCLICK: return "COLUMNCLICK";
    case LVN_KEYDOWN: return "KEYDOWN";
    case NM_CLICK: return "CLICK";
    case NM_DBLCLK: return "DBLCLK";
    case NM_RETURN: return "RETURN";
    default: return std::to_string(int(code));
    }
}
} // namespace

std::vector<Note>& Notes()
{
    static std::vector<Note> notes;
    return notes;
}

std::function<LRESULT(HWND, const NMHDR*)>& OnNotify()
{
    static std::function<LRESULT(HWND, const NMHDR*)> handler;
    return handler;
}

std::vector<Note> NotesOf(std::initializer_list<UINT> codes)
{
    std::vector<Note> chosen;
    for (const Note& note : Notes()) {
        for (UINT code : codes) {
            if (note.code == code)
                chosen.push_back(note);
        }
    }
    return chosen;
}

std::string Describe(const std::vector<Note>& notes)
{
    std::ostringstream text;
    for (const Note& note : notes)
        text << CodeName(note.code) << "(" << note.item << "," << note.subItem << ","
             << note.oldState << "->" << note.newState << ") ";
    return text.str();
}

void ListViewTest::SetUp()
{
    ASSERT_TRUE(EnsureApplication());
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ListViewTestParent";
        ASSERT_NE(RegisterClassW(&wc), 0);
        registered = true;
    }
    // The list is laid out and painted as on the device's screen.
    screen_ = std::make_unique<QWidget>();
    screen_->resize(240, 320);
    screen_->show();
    SetScreenSize(240, 320);
    SetScreenWidget(screen_.get());
    parent_ = CreateWindowExW(0, u"ListViewTestParent", u"Parent", WS_VISIBLE, 0, 0, 240, 294,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    Notes().clear();
    OnNotify() = nullptr;
}

void ListViewTest::TearDown()
{
    OnNotify() = nullptr;
    if (IsWindow(parent_))
        DestroyWindow(parent_);
    SetScreenWidget(nullptr);
    screen_.reset();
    Notes().clear();
}

HWND ListViewTest::MakeList(DWORD style, int width, int height)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"", style, 0, 27, width, height, parent_,
                                reinterpret_cast<HMENU>(uintptr_t(LIST_ID)), nullptr, nullptr);
    EXPECT_NE(list, nullptr);
    list_ = list;
    return list;
}

void ListViewTest::AddColumns(HWND list)
{
    const struct {
        const char16_t* text;
        int width;
    } columns[] = {{u"Date", 88}, {u"Category", 90}, {u"Time", 55}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<LPWSTR>(columns[i].text);
        column.iSubItem = i;
        ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&column)), i);
    }
}

int ListViewTest::AddRow(HWND list, int at, const std::u16string& date,
                         const std::u16string& category, const std::u16string& time, int image)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = at;
    item.pszText = const_cast<LPWSTR>(date.c_str());
    item.iImage = image;
    int row = int(SendMessageW(list, LVM_INSERTITEMW, 0, LPARAM(&item)));
    if (row < 0)
        return row;
    const std::u16string* texts[] = {&category, &time};
    for (int column = 1; column <= 2; ++column) {
        LVITEMW cell = {};
        cell.iSubItem = column;
        cell.pszText = const_cast<LPWSTR>(texts[column - 1]->c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&cell));
    }
    return row;
}

void ListViewTest::AddRows(HWND list, int count)
{
    int first = Count(list);
    for (int i = 0; i < count; ++i) {
        std::string text = "row " + std::to_string(first + i);
        AddRow(list, first + i, std::u16string(text.begin(), text.end()));
    }
}

std::u16string ListViewTest::CellText(HWND list, int row, int column)
{
    WCHAR buffer[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 128;
    LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item));
    return std::u16string(buffer, size_t(n));
}

UINT ListViewTest::State(HWND list, int row, UINT mask)
{
    return UINT(SendMessageW(list, LVM_GETITEMSTATE, WPARAM(row), LPARAM(mask)));
}

void ListViewTest::Select(HWND list, int row, UINT state, UINT mask)
{
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
}

RECT ListViewTest::Rect(HWND list, int row, int code)
{
    RECT rect = {};
    rect.left = code;
    EXPECT_TRUE(SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(&rect)));
    return rect;
}

int ListViewTest::TopIndex(HWND list)
{
    return int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
}

int ListViewTest::Count(HWND list)
{
    return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}
} // namespace list_view_test
