// The widget of a window of the program's own class: it paints by sending WM_PAINT, reports
// size changes as WM_SIZE, and passes presses and keys to the window procedure.
#pragma once

#include "platform/windows.h"

#include <QWidget>

class ProgramWidget : public QWidget
{
  public:
    ProgramWidget(HWND window, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    HWND window;
};
