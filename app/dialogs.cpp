#include "app/dialogs.h"

#include "app/app_context.h"
#include "app/startup.h"
#include "entry/shared_ui.h"
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/resources.h"

INT_PTR RunDialog(UINT templateId, DLGPROC procedure)
{
    return RunDialogOver(App.MainWindow, templateId, procedure);
}

INT_PTR RunDialogOver(HWND parent, UINT templateId, DLGPROC procedure)
{
    HRSRC found = FindResourceW(App.Instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found || !procedure)
        return -1;
    HGLOBAL loaded = LoadResource(App.Instance, found);
    if (!loaded)
        return -1;
    return DialogBoxIndirectParamW(App.Instance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)),
                                   parent, procedure, 0);
}

void MakeDefaultButton(HWND dialog, int id)
{
    LRESULT previous = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(previous) == DC_HASDEFID && LOWORD(previous) != id)
        SendDlgItemMessageW(dialog, LOWORD(previous), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    SendDlgItemMessageW(dialog, id, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

SYSTEMTIME PickerDate(HWND dialog, int id)
{
    SYSTEMTIME date = {};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    return date;
}

void SetPickerDate(HWND dialog, int id, SYSTEMTIME date)
{
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

void PaintDialogHeader(HDC dc, UINT textId, int x, int y, const POINT (&rule)[2])
{
    HFONT font = CreateDialogFont(dc, u"Times New Roman", 10, 800, FALSE);
    HGDIOBJ oldFont = SelectObject(dc, font);
    COLORREF oldColor = SetTextColor(dc, RGB(0, 0, 255));
    WCHAR header[IDENTITY_TEXT_MAX];
    int length = LoadStringW(App.Instance, textId, header, IDENTITY_TEXT_MAX);
    SetBkMode(dc, OPAQUE);
    ExtTextOutW(dc, x, y, 0, nullptr, header, static_cast<UINT>(length > 0 ? length : 0), nullptr);
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polyline(dc, rule, 2);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void PlaceControls(HWND dialog, const ControlLayout* layout, size_t count)
{
    bool wide = UseWideLayout();
    for (size_t i = 0; i < count; ++i) {
        const ControlPlace& p = wide ? layout[i].wide : layout[i].narrow;
        MoveWindow(GetDlgItem(dialog, layout[i].id), p.x, p.y, p.width, p.height, TRUE);
    }
}

INT_PTR PaintNarrowHeader(HWND dialog, UINT textId, int ruleEnd)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (!UseWideLayout()) {
        const POINT rule[] = {{6, 23}, {ruleEnd, 23}};
        PaintDialogHeader(dc, textId, 6, 4, rule);
    }
    EndPaint(dialog, &paint);
    return TRUE;
}

const DLGPROC RegisterTimeDialog = RegisterTimeDialogProc;
const DLGPROC EditCategoriesDialog = EditCategoriesDialogProc;
const DLGPROC NewCategoryDialog = NewCategoryDialogProc;
const DLGPROC EditCategoryDialog = EditCategoryDialogProc;
const DLGPROC TimeReportDialog = TimeReportDialogProc;
const DLGPROC ExportRecordsDialog = ExportRecordsDialogProc;
const DLGPROC AboutDialog = AboutDialogProc;
const DLGPROC ViewOptionsDialog = ViewOptionsDialogProc;
const DLGPROC DeleteByRangeDialog = DeleteByRangeDialogProc;
