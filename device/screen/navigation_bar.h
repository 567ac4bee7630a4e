// The navigation bar: the top rows of the screen, dark blue, with the foreground window's caption
// on the left, the device clock's time on the right and an "ok" button at the far right while a
// dialog made with the Done button is up.
#pragma once

#include <QWidget>

#include <string>

class QToolButton;
class QTimer;

class NavigationBar : public QWidget
{
  public:
    explicit NavigationBar(QWidget* screen);

    void SetCaption(const std::u16string& caption);
    const std::u16string& Caption() const { return caption; }

    // Shows or hides the ok button; a tap on it calls `tapped`.
    void ShowOk(bool show);
    QToolButton* OkButton() const { return ok; }
    void SetOkHandler(void (*tapped)()) { okTapped = tapped; }

    // Reads the clock again and repaints when the minute shown changed.
    void RefreshClock();
    // The time shown, "hh:mm".
    QString ClockText() const { return clock; }

    // Across the screen's width, at the top; called when the screen turned.
    void Place();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRect ClockRect() const;

    std::u16string caption;
    QString clock;
    QToolButton* ok;
    QTimer* ticker;
    void (*okTapped)() = nullptr;
};
