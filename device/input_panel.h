// The soft input panel: a small keyboard over the rows above the menu bar, up while the program
// keeps it raised (SHSipInfo). The desktop keyboard always types as well.
#pragma once

#include <QWidget>

class InputPanel : public QWidget
{
  public:
    explicit InputPanel(QWidget* screen);

    // Shows or hides the panel as the shell's state says; returns whether it is up.
    bool Follow();

    // The panel's rows above the menu bar, across the screen; called when the screen turned.
    void Place();

  protected:
    void paintEvent(QPaintEvent* event) override;
};
