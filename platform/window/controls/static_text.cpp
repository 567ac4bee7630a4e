// The static class ("Static"): text placed left, centred or right at the top of its rectangle,
// words wrapping, '&' marking the next letter unless SS_NOPREFIX; or a picture (SS_ICON), named
// by its text (an ordinal 0xFFFF, n is icon n of the window's module) or given with STM_SETICON
// and STM_SETIMAGE. A static takes no taps (they reach the dialog) unless SS_NOTIFY.
#include "platform/resources/pictures.h"
#include "platform/window/controls/controls_internal.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace
{
const int iconSize = 32; // SM_CXICON

DWORD TypeOf(DWORD style)
{
    return style & SS_TYPEMASK;
}

class StaticWidget : public QLabel
{
  public:
    StaticWidget(HWND window, QWidget* parent) : QLabel(parent), life_(window, this)
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(false);
        setContentsMargins(0, 0, 0, 0);
        setMargin(0);
        setIndent(0);
        setTextInteractionFlags(Qt::NoTextInteraction);
    }

    ControlLife& Life() { return life_; }
    HICON icon = nullptr;
    HANDLE image = nullptr; // the handle STM_SETIMAGE gave, of `imageType`
    int imageType = IMAGE_ICON;

    // Shows the text as the style asks.
    void ShowText(const QString& text)
    {
        DWORD style = life_.Style();
        DWORD type = TypeOf(style);
        Qt::Alignment across = type == SS_CENTER  ? Qt::AlignHCenter
                               : type == SS_RIGHT ? Qt::AlignRight
                                                  : Qt::AlignLeft;
        bool oneLine = (style & SS_CENTERIMAGE) || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
        setAlignment(across | (style & SS_CENTERIMAGE ? Qt::AlignVCenter : Qt::AlignTop));
        setWordWrap(!oneLine);
        if (!(style & SS_NOPREFIX) && text.contains(u'&')) {
            setTextFormat(Qt::RichText);
            setText(PrefixedRichText(text));
        } else {
            setTextFormat(Qt::PlainText);
            setText(text);
        }
    }

    void ShowPicture(const QImage& picture)
    {
        DWORD style = life_.Style();
        setAlignment(style & SS_CENTERIMAGE ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
        if (picture.isNull())
            clear();
        else
            setPixmap(QPixmap::fromImage(picture));
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            life_.Command(STN_CLICKED);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        if (event->button() == Qt::LeftButton)
            life_.Command(STN_DBLCLK);
    }

  private:
    ControlLife life_;
};

StaticWidget* StaticOf(HWND window)
{
    return dynamic_cast<StaticWidget*>(WidgetOf(window));
}

// The icon a picture static's text names: an ordinal, or a resource name.
HICON IconNamed(HWND window, LPCWSTR text)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object || !text || !text[0])
        return nullptr;
    if (text[0] == 0xFFFF)
        return LoadIconW(object->instance, MAKEINTRESOURCEW(text[1]));
    return LoadIconW(object->instance, text);
}

void SetIcon(StaticWidget& widget, HICON icon)
{
    widget.icon = icon;
    widget.image = icon;
    widget.imageType = IMAGE_ICON;
    QImage picture = icon ? IconImage(icon, iconSize) : QImage();
    widget.ShowPicture(picture);
    // The control takes the picture's size, as the handheld's does.
    if (!picture.isNull() && !(widget.Life().Style() & SS_CENTERIMAGE))
        widget.resize(picture.size());
}

QWidget* CreateStatic(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* label = new StaticWidget(window, parent);
    label->setFont(SystemControlFont());
    SetControlPalette(label);
    DWORD style = DWORD(create.style);
    if (!(style & SS_NOTIFY))
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (TypeOf(style) != SS_ICON) {
        // The style is read from the window, which exists but is not yet complete: set here.
        label->setText(QtText(create.lpszName));
        label->setTextFormat(Qt::PlainText);
    }
    return label;
}

LRESULT SetImage(StaticWidget& label, WPARAM type, HANDLE image)
{
    HANDLE previous = label.imageType == int(type) ? label.image : nullptr;
    if (type == IMAGE_ICON) {
        SetIcon(label, static_cast<HICON>(image));
    } else if (type == IMAGE_BITMAP) {
        label.icon = nullptr;
        label.image = image;
        label.imageType = IMAGE_BITMAP;
        label.ShowPicture(ImageOfBitmap(static_cast<HBITMAP>(image)));
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT StaticMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    StaticWidget* label = StaticOf(window);
    if (!label)
        return DefWindowProcW(window, message, wParam, lParam);
    bool picture = TypeOf(label->Life().Style()) == SS_ICON;
    switch (message) {
    case WM_CREATE:
        if (picture)
            SetIcon(*label, IconNamed(window, WindowFromHandle(window)->text.c_str()));
        else
            label->ShowText(QString::fromStdU16String(WindowFromHandle(window)->text));
        return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        auto* text = reinterpret_cast<LPCWSTR>(lParam);
        if (picture)
            SetIcon(*label, IconNamed(window, text));
        else
            label->ShowText(QtText(text));
        return result;
    }
    case WM_SETFONT: ApplyControlFont(window, label, wParam, lParam); return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case STM_SETICON: {
        HICON previous = label->icon;
        SetIcon(*label, reinterpret_cast<HICON>(wParam));
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETICON: return reinterpret_cast<LRESULT>(label->icon);
    case STM_SETIMAGE: return SetImage(*label, wParam, reinterpret_cast<HANDLE>(lParam));
    case STM_GETIMAGE:
        return label->imageType == int(wParam) ? reinterpret_cast<LRESULT>(label->image) : 0;
    case WM_DESTROY:
        label->Life().OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass StaticControlClass = {WC_STATICW, CreateStatic, StaticMessage};
