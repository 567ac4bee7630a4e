// The combo box class ("ComboBox") as a drop-down list (CBS_DROPDOWNLIST, and any other kind
// taken as one): a closed box at the height of one line, whose list drops below it to the rest
// of the height the program gave. Entries, selection, searches and item data by the CB_*
// messages (those on the entries alone as the list box has them, in list_entries.cpp); a person's
// choice sends, in this order, CBN_SELENDOK, CBN_CLOSEUP and (when the selection moved)
// CBN_SELCHANGE; a list closed without a choice sends CBN_SELENDCANCEL and CBN_CLOSEUP;
// CBN_DROPDOWN comes before the list shows. The program's own changes (CB_SETCURSEL,
// CB_SELECTSTRING …) send nothing.
#include "platform/window/controls/list_entries.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace
{
const int arrowBoxWidth = 13;

class ComboWidget : public QComboBox, public ListEntries
{
  public:
    ComboWidget(HWND window, int height, QWidget* parent)
        : QComboBox(parent), life_(window, this), listHeight_(height)
    {
        setEditable(false);
        setStyle(ControlStyle());
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_MacShowFocusRect, false);
        setInsertPolicy(QComboBox::NoInsert);
        setItemDelegate(MakeRowDelegate(this));
        QAbstractItemView* list = view();
        list->verticalScrollBar()->setStyle(ControlStyle());
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
        if (auto* frame = qobject_cast<QFrame*>(list->parentWidget())) {
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            frame->setLineWidth(1);
        }
        QObject::connect(this, &QComboBox::currentIndexChanged, this, [this] {
            KeepWindowText(life_.Window(), currentText());
            if (programmatic_ || dropped_)
                return;
            // A key on the closed box moved the selection.
            ControlLife::Busy busy(life_);
            life_.Command(CBN_SELCHANGE);
        });
    }

    ControlLife& Life() { return life_; }
    bool Dropped() const { return dropped_; }
    QAbstractItemModel& EntryModel() const override { return *model(); }
    bool Sorted() const override { return (life_.Style() & CBS_SORT) != 0; }
    int ListHeight() const { return listHeight_; }

    void SetListHeight(int height)
    {
        listHeight_ = height;
        UpdateMetrics();
    }

    // The closed box's height follows the font; the list shows the rows that fit below it.
    void UpdateMetrics()
    {
        setFixedHeight(QFontMetrics(font()).height() + 7);
        int rows = (listHeight_ - height()) / ListRowHeight(font());
        setMaxVisibleItems(std::max(1, rows));
    }

    void Select(int index) override
    {
        programmatic_ = true;
        setCurrentIndex(index);
        programmatic_ = false;
        KeepWindowText(life_.Window(), currentText());
    }

    void InsertEntry(int at, const QString& text) override
    {
        programmatic_ = true;
        bool none = currentIndex() < 0;
        insertItem(at, text);
        if (none)
            setCurrentIndex(-1); // Qt selects the first entry of an empty box; the handheld not
        programmatic_ = false;
    }

    void RemoveEntry(int at) override
    {
        programmatic_ = true;
        bool selected = at == currentIndex();
        removeItem(at);
        if (selected)
            setCurrentIndex(-1);
        programmatic_ = false;
        KeepWindowText(life_.Window(), currentText());
    }

    void ClearEntries() override
    {
        programmatic_ = true;
        clear();
        programmatic_ = false;
        KeepWindowText(life_.Window(), QString());
    }

    void showPopup() override
    {
        if (dropped_)
            return;
        ControlLife::Busy busy(life_);
        if (!life_.Command(CBN_DROPDOWN))
            return;
        view()->setFont(font());
        UpdateMetrics();
        viewPressed_ = false;
        dropped_ = true;
        QComboBox::showPopup();
        // Qt's own list handling filters the list's events too; the control's filter is put
        // first again, so that a choice is told as the control tells it.
        view()->installEventFilter(this);
        view()->viewport()->installEventFilter(this);
        if (!view()->isVisible() && dropped_) {
            // An empty list has nothing to show: it closes at once.
            dropped_ = false;
            life_.Command(CBN_CLOSEUP);
        }
    }

    void hidePopup() override
    {
        if (!dropped_) {
            QComboBox::hidePopup();
            return;
        }
        ControlLife::Busy busy(life_);
        dropped_ = false;
        QComboBox::hidePopup();
        if (life_.Command(CBN_SELENDCANCEL))
            life_.Command(CBN_CLOSEUP);
    }

    // Closes the list without a word, as the control goes.
    void Close()
    {
        dropped_ = false;
        QComboBox::hidePopup();
    }

  protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsDialogKey(key) && ForwardDialogKey(life_.Window(), key))
                return true;
        }
        return QComboBox::event(event);
    }

    // The list's taps and keys are the control's: a tap (press and release on an entry) or
    // Enter chooses, Escape cancels; other keys move through the list as Qt does.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QAbstractItemView* list = view();
        if (!dropped_ || !list)
            return QComboBox::eventFilter(watched, event);
        if (watched == list->viewport()) {
            // Only mouse events are read as such: the viewport sees every kind of event.
            auto* mouse = event->type() == QEvent::MouseButtonPress ||
                                  event->type() == QEvent::MouseMove ||
                                  event->type() == QEvent::MouseButtonRelease
                              ? static_cast<QMouseEvent*>(event)
                              : nullptr;
            switch (mouse ? event->type() : QEvent::None) {
            case QEvent::MouseButtonPress:
                if (mouse->button() == Qt::LeftButton)
                    viewPressed_ = true;
                break;
            case QEvent::MouseMove:
                if (mouse->buttons() & Qt::LeftButton)
                    viewPressed_ = true;
                break;
            case QEvent::MouseButtonRelease:
                if (mouse->button() != Qt::LeftButton)
                    break;
                if (viewPressed_)
                    ChooseAt(list->indexAt(mouse->position().toPoint()));
                return true;
            default: break;
            }
        } else if (watched == list && (event->type() == QEvent::KeyPress ||
                                       event->type() == QEvent::ShortcutOverride)) {
            // Qt's list takes Enter already as a shortcut, before the key press itself.
            auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Select:
                key->accept();
                ChooseAt(list->currentIndex());
                return true;
            case Qt::Key_Escape:
                key->accept();
                hidePopup();
                return true;
            default: break;
            }
        }
        return QComboBox::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (IsDialogKey(event)) {
            if (!ForwardDialogKey(life_.Window(), event))
                event->ignore();
            return;
        }
        ControlLife::Busy busy(life_);
        QComboBox::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QComboBox::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QComboBox::mouseReleaseEvent(event);
    }
    // The wheel does not turn a drop-down list's selection.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
    void focusInEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QComboBox::focusInEvent(event);
        life_.FocusEvent(event, true, CBN_SETFOCUS, CBN_KILLFOCUS);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QComboBox::focusOutEvent(event);
        // The list takes the toolkit's focus as it drops down; for the program the box keeps it.
        if (dropped_ && ListHasFocus())
            return;
        life_.FocusEvent(event, false, CBN_SETFOCUS, CBN_KILLFOCUS);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor ink = isEnabled() ? QColor(Qt::black) : ControlDisabledText;
        painter.fillRect(rect(), Qt::white);
        painter.setPen(ink);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        // The small box with its down arrow.
        QRect box(width() - 1 - arrowBoxWidth, 1, arrowBoxWidth, height() - 2);
        if (dropped_)
            painter.fillRect(box, Qt::black);
        painter.drawLine(box.left(), box.top(), box.left(), box.bottom());
        QPoint middle = box.center() + QPoint(1, 1);
        QPoint arrow[] = {middle + QPoint(-3, -2), middle + QPoint(3, -2), middle + QPoint(0, 1)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(dropped_ ? QColor(Qt::white) : ink);
        painter.drawPolygon(arrow, 3);
        QRect text(2, 2, box.left() - 3, height() - 4);
        bool marked = hasFocus() && isEnabled() && !dropped_ && currentIndex() >= 0;
        if (marked)
            painter.fillRect(text, ControlSelection);
        painter.setPen(marked ? QColor(Qt::white) : ink);
        painter.setFont(font());
        QString shown =
            QFontMetrics(font()).elidedText(currentText(), Qt::ElideRight, text.width() - 2);
        painter.drawText(text.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
    }

  private:
    bool ListHasFocus() const
    {
        QWidget* focused = QApplication::focusWidget();
        QWidget* popup = view() ? view()->window() : nullptr;
        return focused && popup && popup != window() &&
               (focused == popup || popup->isAncestorOf(focused));
    }

    void ChooseAt(const QModelIndex& index)
    {
        ControlLife::Busy busy(life_);
        Qt::ItemFlags flags = index.isValid() ? index.flags() : Qt::ItemFlags();
        if (!(flags & Qt::ItemIsEnabled) || !(flags & Qt::ItemIsSelectable)) {
            hidePopup();
            return;
        }
        int before = currentIndex();
        dropped_ = false;
        QComboBox::hidePopup();
        Select(index.row());
        if (!life_.Command(CBN_SELENDOK) || !life_.Command(CBN_CLOSEUP))
            return;
        if (index.row() != before)
            life_.Command(CBN_SELCHANGE);
    }

    ControlLife life_;
    int listHeight_;
    bool dropped_ = false;
    bool programmatic_ = false;
    bool viewPressed_ = false;
};

ComboWidget* ComboOf(HWND window)
{
    return dynamic_cast<ComboWidget*>(WidgetOf(window));
}

QWidget* CreateCombo(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* combo = new ComboWidget(window, create.cy, parent);
    combo->setFont(SystemControlFont());
    SetControlPalette(combo);
    SetControlPalette(combo->view());
    combo->view()->setFont(SystemControlFont());
    combo->UpdateMetrics();
    return combo;
}

LRESULT DroppedRect(ComboWidget& combo, LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (!rect)
        return CB_ERR;
    QRect area = ScreenRectOf(&combo);
    *rect = RECT{area.left(), area.top(), area.left() + area.width(),
                 area.top() + std::max(combo.ListHeight(), area.height())};
    return TRUE;
}

LRESULT ComboMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ComboWidget* found = ComboOf(window);
    if (!found)
        return DefWindowProcW(window, message, wParam, lParam);
    ComboWidget& combo = *found;
    LRESULT result = CB_ERR;
    if (EntryMessage(combo, ComboEntryMessages, message, wParam, lParam, &result))
        return result;
    int index = SignedIndex(wParam);
    bool inList = index >= 0 && index < combo.count();
    switch (message) {
    case CB_GETCURSEL: return combo.currentIndex() >= 0 ? combo.currentIndex() : CB_ERR;
    case CB_SETCURSEL:
        // An index outside the list, -1 among them, clears the selection.
        combo.Select(inList ? index : -1);
        return inList ? index : CB_ERR;
    case CB_SHOWDROPDOWN:
        if (wParam)
            combo.showPopup();
        else
            combo.hidePopup();
        return TRUE;
    case CB_GETDROPPEDSTATE: return combo.Dropped() ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: return DroppedRect(combo, lParam);
    case CB_LIMITTEXT: return TRUE; // a drop-down list has no edit to limit
    case WM_SETTEXT: {
        // A drop-down list shows only its entries: the text chooses the entry it names.
        int at = lParam ? FindEntry(combo.EntryModel(), -1,
                                    QtText(reinterpret_cast<LPCWSTR>(lParam)), true)
                        : -1;
        if (at < 0)
            return CB_ERR;
        combo.Select(at);
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyTextOut(combo.currentText(), reinterpret_cast<LPWSTR>(lParam), index);
    case WM_GETTEXTLENGTH: return combo.currentText().size();
    case WM_SETFONT:
        ApplyControlFont(window, &combo, wParam, lParam);
        combo.view()->setFont(combo.font());
        combo.UpdateMetrics();
        return 0;
    case WM_SIZE:
        // The height the program gives includes the list that drops down.
        combo.SetListHeight(HIWORD(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETFOCUS: combo.Life().Focus(true, CBN_SETFOCUS, CBN_KILLFOCUS); return 0;
    case WM_KILLFOCUS: combo.Life().Focus(false, CBN_SETFOCUS, CBN_KILLFOCUS); return 0;
    case WM_KEYDOWN:
        return KeyDownToDialog(window, wParam) ? 0
                                               : DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        combo.Close();
        combo.Life().OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass ComboBoxControlClass = {WC_COMBOBOXW, CreateCombo, ComboMessage};
