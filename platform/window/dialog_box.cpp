// Modal dialogs from templates: the dialog window and its controls made from the template, the
// dialog procedure's WM_INITDIALOG, the owner disabled while a loop of the dialog's own runs,
// and the end that EndDialog asks for.
//
// What a caller can rely on:
// - The template must be one the resources hold: LoadResource's data, or an entry of the
//   instance's dialog table. Its size is learnt from there and the template is read within it;
//   any other template, a truncated one or one whose count runs past its data fails with -1
//   and ERROR_INVALID_PARAMETER.
// - A control that cannot be made (its class unknown) fails the whole dialog with -1 and the
//   error of CreateWindowExW, before the dialog procedure hears anything and with the owner
//   untouched: a dialog missing a control would be one the program cannot use.
// - A quit posted while the dialog runs ends its loop: the dialog is destroyed and returns 0
//   (or the value given to EndDialog, when it was called), leaving the quit to the outer loop.
//   A dialog window destroyed from outside ends the same way.
#include "platform/aygshell.h"
#include "platform/dialog_template.h"
#include "platform/resources/resource_lookup.h"
#include "platform/window/dialog_internal.h"
#include "platform/window/dialog_parse.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{
// Where a template lives: its resource number (0 when it is named by a text) and its size.
bool FindTemplate(HINSTANCE instance, const void* data, UINT* id, size_t* size)
{
    std::u16string name;
    if (LoadedResourceAt(data, &name, size)) {
        *id = 0;
        if (name.size() > 1 && name[0] == u'#') {
            UINT number = 0;
            for (size_t i = 1; i < name.size() && number <= 0xFFFF; ++i)
                number = number * 10 + UINT(name[i] - u'0');
            *id = number <= 0xFFFF ? number : 0;
        }
        return true;
    }
    const auto* module = reinterpret_cast<const RESOURCEMODULE*>(instance);
    if (!module || !module->dialogs)
        return false;
    for (size_t i = 0; i < module->dialogCount; ++i) {
        if (module->dialogs[i].data == data) {
            *id = module->dialogs[i].id;
            *size = module->dialogs[i].size;
            return true;
        }
    }
    return false;
}

// The dialog's font: the template's, at its point size on the 96-dpi screen, else the system
// font of 8 points.
void MakeFont(const DialogTemplate& t, DialogState* dialog)
{
    LOGFONTW& lf = dialog->fontDescription;
    lf = LOGFONTW{};
    lf.lfWeight = FW_NORMAL;
    if ((t.style & DS_SETFONT) && t.pointSize > 0) {
        lf.lfHeight = -LONG((t.pointSize * DEVICE_PIXELS_PER_INCH + 36) / 72);
        size_t n = std::min(t.typeface.size(), size_t(LF_FACESIZE - 1));
        std::copy_n(t.typeface.data(), n, lf.lfFaceName);
        dialog->font = CreateFontIndirectW(&lf);
        dialog->ownsFont = dialog->font != nullptr;
    }
    if (!dialog->font) {
        lf.lfHeight = -11;
        dialog->font = reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    QFont font;
    if (lf.lfFaceName[0])
        font.setFamily(QString::fromUtf16(lf.lfFaceName));
    font.setPixelSize(int(-lf.lfHeight));
    QFontMetrics metrics(font);
    int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    dialog->baseUnits = SIZE{std::max(1, (letters / 26 + 1) / 2), std::max(1, metrics.height())};
}

int Scale(int units, LONG base, int divisor)
{
    return int(std::lround(double(units) * double(base) / double(divisor)));
}

QRect PixelsOf(const DialogState* dialog, int x, int y, int cx, int cy)
{
    SIZE b = dialog->baseUnits;
    return QRect(Scale(x, b.cx, 4), Scale(y, b.cy, 8), Scale(cx, b.cx, 4), Scale(cy, b.cy, 8));
}

// Where the dialog goes on the screen: centred with DS_CENTER, at its place on the screen with
// DS_ABSALIGN, else at its place from the owner's top left corner.
QRect DialogPlace(const DialogTemplate& t, const DialogState* dialog, HWND owner)
{
    QRect place = PixelsOf(dialog, t.x, t.y, t.cx, t.cy);
    if (t.style & DS_CENTER) {
        SIZE screen = ScreenSize();
        place.moveTo((screen.cx - place.width()) / 2, (screen.cy - place.height()) / 2);
    } else if (!(t.style & DS_ABSALIGN) && owner) {
        RECT r{};
        if (GetWindowRect(owner, &r))
            place.translate(r.left, r.top);
    }
    return place;
}

void Forget(DialogState* dialog)
{
    auto& running = RunningDialogs();
    running.erase(std::remove(running.begin(), running.end(), dialog), running.end());
    if (dialog->ownsFont)
        DeleteObject(dialog->font);
    dialog->ownsFont = false;
}

// Undoes a dialog that could not be made: its procedure hears nothing of it.
INT_PTR Abandon(DialogState* dialog, DWORD error)
{
    dialog->ready = false;
    dialog->closing = true;
    if (IsWindow(dialog->window))
        DestroyWindow(dialog->window);
    Forget(dialog);
    SetLastError(error);
    return -1;
}

bool MakeControls(const DialogTemplate& t, DialogState* dialog, HINSTANCE instance)
{
    for (const DialogItem& item : t.items) {
        QRect r = PixelsOf(dialog, item.x, item.y, item.cx, item.cy);
        HWND control =
            CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(),
                            (item.style | WS_CHILD) & ~DWORD(WS_POPUP), r.x(), r.y(), r.width(),
                            r.height(), dialog->window, reinterpret_cast<HMENU>(uintptr_t(item.id)),
                            instance, const_cast<void*>(item.creationData));
        if (!control || !IsWindow(dialog->window))
            return false;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);
    }
    return true;
}

// The window that owns a dialog: the top-level window of the one given.
HWND TopLevelOf(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    while (object && object->parent) {
        window = object->parent;
        object = WindowFromHandle(window);
    }
    return window;
}

void RunModalLoop(DialogState* dialog)
{
    while (!dialog->ended && !QuitPosted() && IsWindow(dialog->window))
        PumpMessages();
}
} // namespace

std::vector<DialogState*>& RunningDialogs()
{
    static std::vector<DialogState*> running;
    return running;
}

DialogState* DialogStateOf(HWND window)
{
    if (!window)
        return nullptr;
    for (DialogState* dialog : RunningDialogs()) {
        if (dialog->window == window)
            return dialog;
    }
    return nullptr;
}

std::vector<OpenDialog> OpenDialogs()
{
    std::vector<OpenDialog> open;
    for (DialogState* dialog : RunningDialogs()) {
        if (!dialog->closing && IsWindow(dialog->window))
            open.push_back(OpenDialog{dialog->window, dialog->templateId});
    }
    return open;
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param)
{
    UINT id = 0;
    size_t size = 0;
    DialogTemplate t;
    if (!dialogTemplate || !procedure || !FindTemplate(instance, dialogTemplate, &id, &size) ||
        !ParseDialogTemplate(dialogTemplate, size, &t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    if (!EnsureApplication()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    owner = owner ? TopLevelOf(owner) : nullptr;
    RegisterControlClass(&DialogWindowClass);
    InstallDialogKeys();

    auto dialog = std::make_unique<DialogState>();
    dialog->templateId = id;
    dialog->procedure = procedure;
    MakeFont(t, dialog.get());
    QRect place = DialogPlace(t, dialog.get(), owner);
    DWORD style = t.style & ~DWORD(WS_CHILD | WS_VISIBLE | WS_DISABLED);
    HWND window = CreateWindowExW(t.exStyle, DIALOG_WINDOW_CLASS, t.caption.c_str(), style,
                                  place.x(), place.y(), place.width(), place.height(), owner,
                                  nullptr, instance, dialog.get());
    if (!window || !IsWindow(dialog->window)) {
        DWORD error = GetLastError();
        return Abandon(dialog.get(), error ? error : ERROR_NOT_ENOUGH_MEMORY);
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);
    SetLastError(ERROR_SUCCESS);
    if (!MakeControls(t, dialog.get(), instance)) {
        DWORD error = GetLastError();
        return Abandon(dialog.get(), error ? error : ERROR_CANNOT_FIND_WND_CLASS);
    }

    HWND first = FirstTabStop(window);
    dialog->ready = true;
    LRESULT focusFirst =
        SendMessageW(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    bool wasEnabled = false;
    if (IsWindow(window) && !dialog->ended) {
        // The first tab stop as WM_INITDIALOG left the controls: it may have hidden some.
        if (focusFirst)
            if (HWND target = FirstTabStop(window))
                SetFocus(target);
        HWND focused = GetFocus();
        for (HWND child : ChildWindows(window))
            if (child == focused)
                dialog->savedFocus = child;
        if (owner && IsWindow(owner))
            wasEnabled = !EnableWindow(owner, FALSE);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RunModalLoop(dialog.get());
    }

    INT_PTR result = dialog->ended ? dialog->result : 0;
    dialog->closing = true;
    if (dialog->shellFlags & SHIDIF_DONEBUTTON)
        ShowDoneButton(dialog.get(), false);
    // The owner is enabled again before the dialog goes, so that it can be the window in front.
    if (wasEnabled && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(window))
        DestroyWindow(window);
    Forget(dialog.get());
    if (owner && IsWindow(owner) && GetForegroundWindow() != owner)
        SetForegroundWindow(owner);
    return result;
}

BOOL EndDialog(HWND window, INT_PTR result)
{
    DialogState* dialog = DialogStateOf(window);
    if (!dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    dialog->ended = true;
    dialog->result = result;
    WakeMessageLoop();
    return TRUE;
}
