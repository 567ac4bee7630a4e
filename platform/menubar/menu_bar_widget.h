// The widget of the shell's menu bar: a light bar with a line along its top, text buttons,
// drop-down buttons whose menus open above the bar, gaps, and 16 x 16 picture buttons. It holds
// the bar's state; the bar's window (menu_bar.cpp) turns messages into calls on it. Not for the
// program.
#pragma once

#include "platform/menubar/menu_bar_access.h"
#include "platform/shellmenu.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <string>
#include <vector>

class QMenu;

struct BarEntry {
    MenuBarEntryKind kind;
    UINT command = 0;
    std::u16string text;
    int image = -1; // picture buttons: the picture's index
    BYTE state = TBSTATE_ENABLED;
    int gap = 0;          // separators: the width asked for, 0 for the usual
    HMENU menu = nullptr; // drop-downs: the menu it opens
    std::u16string tooltip;
    QRect rect; // where it is on the bar; empty when hidden
};

class MenuBarWidget : public QWidget
{
  public:
    MenuBarWidget(HWND window, HWND owner, QWidget* parent);
    ~MenuBarWidget() override;

    HWND Window() const { return window_; }

    // The menu whose pop-ups the drop-downs open, freed with the bar.
    void SetRootMenu(HMENU menu) { root_ = menu; }
    HMENU RootMenu() const { return root_; }

    void AddEntry(const BarEntry& entry);
    // Appends pictures cut from `image` (cx x cy each); the index of the first, or -1.
    int AddPictures(const QImage& image, int count, int cx, int cy);
    void SetTooltips(std::vector<std::u16string> texts);

    std::vector<BarEntry>& Entries() { return entries_; }
    // The entry with a command (not a separator), or null.
    BarEntry* EntryWithCommand(UINT command);
    int PictureCount() const { return int(pictures_.size()); }
    // Lays the entries out again and repaints, after a change of state or of the entries.
    void Changed();

    // A person's tap: opens the menu of a drop-down, or sends a button's command.
    void Activate(size_t index);
    // The drop-down whose menu is open, or -1.
    int OpenEntry() const { return open_; }
    // The command of the last menu item chosen on this bar, 0 when none; TakeChosen clears it.
    UINT TakeChosen();
    // Frees the menus; called when the bar's window is destroyed.
    void FreeMenus();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int EntryAt(const QPoint& point) const;
    bool Tappable(const BarEntry& entry) const;
    void OpenMenu(size_t index);
    void Send(UINT command, bool fromMenu);
    void PaintEntry(QPainter& painter, const BarEntry& entry, bool sunken);

    HWND window_;
    HWND owner_;
    HMENU root_ = nullptr;
    QFont font_;
    std::vector<BarEntry> entries_;
    std::vector<QImage> pictures_; // with the key colour made clear
    std::vector<QImage> dimmed_;   // the same, greyed
    std::vector<std::u16string> tooltips_;
    int pressed_ = -1;
    bool pressedInside_ = false;
    int open_ = -1;
    QPointer<QMenu> watched_; // the menu whose choices are being listened to
    UINT chosen_ = 0;
};

// The bar of a window handle, or null when it is not a menu bar.
MenuBarWidget* MenuBarOf(HWND bar);
