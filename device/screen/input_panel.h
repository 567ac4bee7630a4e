// The soft input panel: a small keyboard over the 80 rows above the menu bar, across the
// screen, up while the program keeps it raised (SHSipInfo). A tap on a key types into the
// focused control as the desktop keyboard does (a key press and release with the key's text,
// given to the widget with the focus, else to the widget of the window GetFocus names); the
// panel never takes the focus. Shift changes the next key to its upper case. The desktop
// keyboard always types as well.
#pragma once

#include <QString>
#include <QWidget>

class InputPanel : public QWidget
{
  public:
    explicit InputPanel(QWidget* screen);

    // Shows or hides the panel as the shell's state says; returns whether it is up.
    bool Follow();

    // The panel's rows above the menu bar, across the screen; called when the screen turned.
    void Place();

    // The keys, for the device's tests and a person's taps: the key under a point of the panel
    // (-1 for none), the key whose unshifted legend is `legend` ("a", "1", "Shift", "Space",
    // "Backspace", "Enter", "Tab", "Left", "Right"; -1 for none), and its face on the panel.
    int KeyAt(const QPoint& point) const;
    int KeyNamed(const QString& legend) const;
    QRect KeyRect(int key) const;
    // True while Shift waits for the next key.
    bool Shifted() const { return shifted_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // Types key `key` into the focused control.
    void Strike(int key);

    bool shifted_ = false;
    int pressed_ = -1;
};
