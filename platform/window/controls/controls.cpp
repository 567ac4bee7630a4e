// The dialog controls' classes, made known to CreateWindowExW, and what the controls share: the
// widget's life around notifications, focus notifications, fonts, texts and the look.
#include "platform/gdi_objects.h"
#include "platform/window/controls/controls_internal.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QStyledItemDelegate>
#include <QWidget>

#include <algorithm>

namespace
{
const int systemFontPixels = 11; // 8 points at 96 pixels an inch
const int scrollBarExtent = 13;  // SM_CXVSCROLL

class RowDelegate : public QStyledItemDelegate
{
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(ListRowHeight(option.font));
        return size;
    }
};

class HandheldStyle : public QProxyStyle
{
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return scrollBarExtent;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override
    {
        // The list drops below its box rather than over it.
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};
} // namespace

void RegisterDialogControlClasses()
{
    RegisterControlClass(&ButtonControlClass);
    RegisterControlClass(&StaticControlClass);
    RegisterControlClass(&EditControlClass);
    RegisterControlClass(&ComboBoxControlClass);
    RegisterControlClass(&ListBoxControlClass);
}

DWORD ControlLife::Style() const
{
    WindowObject* object = WindowFromHandle(window_);
    return object ? object->style : 0;
}

void ControlLife::OnDestroy()
{
    destroyed_ = true;
    if (busy_ == 0)
        return;
    // A handler of the widget is on the stack: the window manager must not free the widget
    // under it. It leaves the window's tree now and goes once the last handler is done.
    if (WindowObject* object = WindowFromHandle(window_))
        object->widget = nullptr;
    detached_ = true;
    widget_->hide();
    widget_->setParent(nullptr);
}

bool ControlLife::Command(WORD code)
{
    if (destroyed_)
        return false;
    CommandParent(window_, code);
    return !destroyed_;
}

bool ControlLife::Focus(bool focused, WORD setCode, WORD killCode)
{
    if (destroyed_)
        return false;
    if (focused == focused_)
        return true;
    focused_ = focused;
    if (focused)
        FocusedWindowOverride() = window_;
    WORD code = focused ? setCode : killCode;
    return code == 0 || Command(code);
}

bool ControlLife::FocusEvent(const QFocusEvent* event, bool focused, WORD setCode, WORD killCode)
{
    if (event->reason() == Qt::PopupFocusReason)
        return !destroyed_;
    return Focus(focused, setCode, killCode);
}

ControlLife::Busy::Busy(ControlLife& life) : life_(life)
{
    ++life_.busy_;
}

ControlLife::Busy::~Busy()
{
    if (--life_.busy_ == 0 && life_.detached_)
        life_.widget_->deleteLater();
}

bool IsDialogKey(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: return false;
    }
}

bool KeyDownToDialog(HWND control, WPARAM key)
{
    if (key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB)
        return false;
    bool shift = (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
    return DialogKey(control, UINT(key), shift);
}

bool ForwardDialogKey(HWND, QKeyEvent* event)
{
    // The dialog manager takes a dialog's keys before a control's widget sees them; a key that
    // still arrives is handed on to the parent widget as Qt does with an ignored key.
    event->ignore();
    return false;
}

QFont SystemControlFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(systemFontPixels);
    return font;
}

QFont ControlFont(HFONT handle)
{
    GdiObject* object = handle ? FindGdiObject(handle) : nullptr;
    if (!object || object->kind != GdiKind::Font)
        return SystemControlFont();
    const LOGFONTW& description = object->font;
    QFont font = SystemControlFont();
    if (description.lfFaceName[0])
        font.setFamilies({QString::fromUtf16(description.lfFaceName),
                          QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    if (height > 0)
        font.setPixelSize(height);
    // Qt 6 weighs fonts on the same scale as LOGFONTW (400 normal, 700 bold).
    if (description.lfWeight > 0)
        font.setWeight(QFont::Weight(std::clamp(int(description.lfWeight), 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

void ApplyControlFont(HWND window, QWidget* widget, WPARAM wParam, LPARAM lParam)
{
    DefWindowProcW(window, WM_SETFONT, wParam, lParam);
    widget->setFont(ControlFont(reinterpret_cast<HFONT>(wParam)));
    if (LOWORD(lParam))
        widget->update();
}

const QColor ControlSelection(0, 0, 160);
const QColor ControlDisabledText(128, 128, 128);

void SetControlPalette(QWidget* widget)
{
    QPalette colors = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        bool disabled = group == QPalette::Disabled;
        QColor text = disabled ? ControlDisabledText : QColor(Qt::black);
        colors.setColor(group, QPalette::Base, Qt::white);
        colors.setColor(group, QPalette::Window, Qt::white);
        colors.setColor(group, QPalette::Button, Qt::white);
        colors.setColor(group, QPalette::Text, text);
        colors.setColor(group, QPalette::WindowText, text);
        colors.setColor(group, QPalette::ButtonText, text);
        colors.setColor(group, QPalette::Highlight,
                        disabled ? ControlDisabledText : ControlSelection);
        colors.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    widget->setPalette(colors);
}

QString QtText(LPCWSTR text)
{
    return text ? QString::fromUtf16(text) : QString();
}

std::u16string WideText(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

int CopyTextOut(const QString& text, LPWSTR buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    int n = std::min(capacity - 1, int(text.size()));
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, buffer);
    buffer[n] = 0;
    return n;
}

void KeepWindowText(HWND window, const QString& text)
{
    if (WindowObject* object = WindowFromHandle(window))
        object->text = WideText(text);
}

QString PrefixedRichText(const QString& text)
{
    QString rich;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            QChar next = text.at(++i);
            if (next == u'&')
                rich += QStringLiteral("&amp;");
            else
                rich +=
                    QStringLiteral("<u>") + QString(next).toHtmlEscaped() + QStringLiteral("</u>");
            continue;
        }
        if (c == u'\n')
            rich += QStringLiteral("<br>");
        else
            rich += QString(c).toHtmlEscaped();
    }
    // Blanks stay as the text has them, and lines still break between words.
    return QStringLiteral("<span style=\"white-space:pre-wrap\">") + rich +
           QStringLiteral("</span>");
}

int ListRowHeight(const QFont& font)
{
    return QFontMetrics(font).height() + 2;
}

QAbstractItemDelegate* MakeRowDelegate(QObject* parent)
{
    return new RowDelegate(parent);
}

QStyle* ControlStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new HandheldStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style.data();
}
