// The date picker ("SysDateTimePick32"): its messages. The widget, its look and a person's input
// are in date_picker_widget.cpp, the calendar in date_picker_calendar.cpp.
#include "platform/gdi.h"
#include "platform/window/date_picker/date_picker_widget.h"
#include "platform/window/window_internal.h"

namespace
{
LRESULT GetSystemTime(const DatePickerWidget& picker, SYSTEMTIME* time)
{
    if (!time)
        return GDT_ERROR;
    if (picker.None())
        return GDT_NONE;
    *time = SystemTimeOf(picker.Time());
    return GDT_VALID;
}

// GDT_VALID with a real date inside the range, or GDT_NONE on a picker that can hold no date;
// anything else is refused and changes nothing.
LRESULT SetSystemTime(DatePickerWidget& picker, WPARAM flag, const SYSTEMTIME* time)
{
    if (flag == WPARAM(GDT_NONE))
        return picker.SetNone() ? TRUE : FALSE;
    PickerTime chosen;
    if (flag != WPARAM(GDT_VALID) || !time || !PickerTimeOf(*time, &chosen))
        return FALSE;
    return picker.SetTime(chosen) ? TRUE : FALSE;
}

LRESULT GetRange(const DatePickerWidget& picker, SYSTEMTIME* limits)
{
    if (!limits)
        return 0;
    DWORD set = 0;
    limits[0] = SYSTEMTIME{};
    limits[1] = SYSTEMTIME{};
    if (picker.Minimum().isValid()) {
        limits[0] = SystemTimeOf(PickerTime{picker.Minimum()});
        set |= GDTR_MIN;
    }
    if (picker.Maximum().isValid()) {
        limits[1] = SystemTimeOf(PickerTime{picker.Maximum()});
        set |= GDTR_MAX;
    }
    return set;
}

LRESULT SetRange(DatePickerWidget& picker, WPARAM which, const SYSTEMTIME* limits)
{
    if ((which & ~WPARAM(GDTR_MIN | GDTR_MAX)) || (which && !limits))
        return FALSE;
    PickerTime minimum, maximum;
    if ((which & GDTR_MIN) && !PickerTimeOf(limits[0], &minimum))
        return FALSE;
    if ((which & GDTR_MAX) && !PickerTimeOf(limits[1], &maximum))
        return FALSE;
    return picker.SetRange(minimum.date, maximum.date) ? TRUE : FALSE;
}

LRESULT SetFormat(DatePickerWidget& picker, LPCWSTR format)
{
    picker.SetFormat(format ? std::u16string(format) : std::u16string());
    return TRUE;
}

void SetFont(DatePickerWidget& picker, HFONT font)
{
    LOGFONTW description = {};
    if (!font || GetObjectW(font, sizeof(description), &description) != int(sizeof(description))) {
        picker.SetPickerFont(DatePickerSystemFont());
        return;
    }
    QFont chosen = DatePickerSystemFont();
    if (description.lfFaceName[0])
        chosen.setFamilies({QString::fromUtf16(description.lfFaceName),
                            QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    if (height > 0)
        chosen.setPixelSize(height);
    if (description.lfWeight > 0)
        chosen.setWeight(QFont::Weight(std::clamp(int(description.lfWeight / 10), 1, 1000)));
    chosen.setItalic(description.lfItalic != 0);
    picker.SetPickerFont(chosen);
}

QPoint PointOf(LPARAM value)
{
    return QPoint(short(LOWORD(value)), short(HIWORD(value)));
}

QWidget* CreateDatePicker(HWND window, const CREATESTRUCTW&, QWidget* parent)
{
    return new DatePickerWidget(window, parent);
}

LRESULT DatePickerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DatePickerWidget* found = DatePickerOf(window);
    if (!found)
        return DefWindowProcW(window, message, wParam, lParam);
    DatePickerWidget& picker = *found;
    auto* time = reinterpret_cast<SYSTEMTIME*>(lParam);
    switch (message) {
    case DTM_GETSYSTEMTIME: return GetSystemTime(picker, time);
    case DTM_SETSYSTEMTIME: return SetSystemTime(picker, wParam, time);
    case DTM_GETRANGE: return GetRange(picker, time);
    case DTM_SETRANGE: return SetRange(picker, wParam, time);
    case DTM_SETFORMATW: return SetFormat(picker, reinterpret_cast<LPCWSTR>(lParam));
    case DTM_GETMONTHCAL: return 0; // the calendar is no window of the program's
    case WM_SETTEXT: return FALSE;  // the box shows the date, and nothing else
    case WM_SETFONT:
        SetFont(picker, reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam))
            picker.update();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_KEYDOWN: picker.Key(UINT(wParam), false); return 0;
    case WM_LBUTTONDOWN: picker.Press(PointOf(lParam)); return 0;
    case WM_DESTROY: picker.OnDestroy(); return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass DatePickerControlClass = {DATETIMEPICK_CLASSW, CreateDatePicker,
                                             DatePickerMessage};

void RegisterDatePickerClass()
{
    RegisterControlClass(&DatePickerControlClass);
}
