// The help viewer: the help file over the whole screen, with a caption and a close button.
#include "platform/process/help_viewer.h"

#include "platform/aygshell.h"
#include "platform/process/process_record.h"
#include "platform/window/window_object.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
const int captionPixels = 13;
const int textPixels = 11; // the system font's 8 points
// Help files are small; a file beyond this is not a help file.
const qint64 largestHelpFile = qint64(1) << 20;

class HelpViewer : public QWidget
{
  public:
    explicit HelpViewer(QWidget* screen) : QWidget(screen)
    {
        setAutoFillBackground(true);
        setPalette(QPalette(Qt::white));
        auto* caption = new QWidget(this);
        caption->setFixedHeight(NAVIGATION_BAR_HEIGHT);
        caption->setAutoFillBackground(true);
        caption->setPalette(QPalette(QColor(0x00, 0x00, 0x84)));
        title_ = new QLabel(QStringLiteral("Help"), caption);
        QFont captionFont = SansFont(captionPixels);
        captionFont.setBold(true);
        title_->setFont(captionFont);
        title_->setStyleSheet(QStringLiteral("color: white"));
        close_ = new QToolButton(caption);
        close_->setText(QStringLiteral("\u00d7"));
        close_->setToolTip(QStringLiteral("Close"));
        close_->setAccessibleName(QStringLiteral("close"));
        close_->setFont(captionFont);
        close_->setAutoRaise(true);
        close_->setStyleSheet(QStringLiteral("color: white"));
        connect(close_, &QToolButton::clicked, this, [this] {
            open_ = false;
            hide();
            deleteLater();
        });
        auto* row = new QHBoxLayout(caption);
        row->setContentsMargins(6, 0, 2, 0);
        row->addWidget(title_, 1);
        row->addWidget(close_);

        browser_ = new QTextBrowser(this);
        browser_->setFont(SansFont(textPixels));
        browser_->setOpenExternalLinks(false);
        browser_->setFrameShape(QFrame::NoFrame);
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->addWidget(caption);
        column->addWidget(browser_, 1);
        if (screen)
            screen->installEventFilter(this);
    }

    void Show(const std::u16string& devicePath, const std::string& hostPath)
    {
        file_ = devicePath;
        QString name = QString::fromStdU16String(devicePath);
        QFile file(QString::fromStdString(hostPath));
        if (!hostPath.empty() && file.open(QIODevice::ReadOnly) && file.size() <= largestHelpFile) {
            browser_->setHtml(QString::fromUtf8(file.readAll()));
            QString title = browser_->documentTitle();
            title_->setText(title.isEmpty() ? QStringLiteral("Help") : title);
        } else {
            browser_->setPlainText(QStringLiteral("The help file %1 cannot be found.").arg(name));
            title_->setText(QStringLiteral("Help"));
        }
        open_ = true;
        FitScreen();
        if (parentWidget())
            show();
        raise();
    }

    bool IsOpen() const { return open_; }
    std::u16string File() const { return file_; }
    std::u16string Text() const { return browser_->toPlainText().toStdU16String(); }
    QToolButton* CloseButton() const { return close_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            FitScreen();
        return QWidget::eventFilter(watched, event);
    }

  private:
    static QFont SansFont(int pixels)
    {
        QFont font;
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(pixels);
        return font;
    }

    void FitScreen()
    {
        SIZE size = ScreenSize();
        QSize screen = parentWidget() ? parentWidget()->size() : QSize(size.cx, size.cy);
        setGeometry(0, 0, screen.width(), screen.height());
    }

    QLabel* title_;
    QToolButton* close_;
    QTextBrowser* browser_;
    std::u16string file_;
    bool open_ = false;
};

QPointer<HelpViewer>& Viewer()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

HelpViewer* OpenViewer()
{
    HelpViewer* viewer = Viewer().data();
    return viewer && viewer->IsOpen() ? viewer : nullptr;
}

// A press and a release of the pointer on the widget's middle.
void Tap(QWidget* widget)
{
    QPointF local(widget->rect().center());
    QPointF global(widget->mapToGlobal(widget->rect().center()));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}
} // namespace

void OpenHelpViewer(const std::u16string& devicePath, const std::string& hostPath)
{
    if (!EnsureApplication())
        return;
    QWidget* screen = ScreenWidget();
    HelpViewer* viewer = Viewer().data();
    if (viewer && !viewer->IsOpen())
        viewer = nullptr; // closed, and on its way out
    // One viewer at a time, as on the handheld; it moves with the screen the device shows.
    if (!viewer || viewer->parentWidget() != screen) {
        delete viewer;
        viewer = new HelpViewer(screen);
        Viewer() = viewer;
    }
    viewer->Show(devicePath, hostPath);
}

QWidget* HelpViewerWidget()
{
    return OpenViewer();
}

std::u16string HelpViewerFile()
{
    HelpViewer* viewer = OpenViewer();
    return viewer ? viewer->File() : std::u16string();
}

std::u16string HelpViewerText()
{
    HelpViewer* viewer = OpenViewer();
    return viewer ? viewer->Text() : std::u16string();
}

bool TapHelpViewerClose()
{
    HelpViewer* viewer = OpenViewer();
    if (!viewer)
        return false;
    // On the screen the tap lands on the button; a viewer without a screen has no place to tap.
    if (viewer->CloseButton()->isVisible())
        Tap(viewer->CloseButton());
    else
        viewer->CloseButton()->click();
    return !viewer->IsOpen();
}
