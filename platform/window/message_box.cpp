// Message boxes on the device's screen: a box with a caption, an icon, the text and its buttons,
// over a shield that keeps taps from the windows below, modal through a loop of its own.
#include "platform/recorder.h"
#include "platform/window/window_internal.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <vector>

namespace
{
struct Button {
    int answer;
    const char16_t* text;
};

std::vector<Button> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
    }
}

// The answer of Escape: Cancel where the box has it, else No, else OK for a box of one button.
int EscapeAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return 0;
    default: return IDCANCEL;
    }
}

QStyle::StandardPixmap IconOfType(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION: return QStyle::SP_MessageBoxQuestion;
    case MB_ICONEXCLAMATION: return QStyle::SP_MessageBoxWarning;
    case MB_ICONASTERISK: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::StandardPixmap(-1);
    }
}

QString ToQString(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

class MessageBoxShield : public QWidget
{
  public:
    MessageBoxShield(const RecordedMessageBox& box, QWidget* screen) : QWidget(screen), box_(box)
    {
        setGeometry(screen->rect());
        setAttribute(Qt::WA_NoSystemBackground);
        frame_ = new QWidget(this);
        frame_->setObjectName("messagebox");
        frame_->setAutoFillBackground(true);
        frame_->setStyleSheet("#messagebox { background: white; border: 1px solid black; }"
                              "#caption { background: #00309c; color: white; font-weight: bold;"
                              " padding: 2px 4px; }");
        auto* column = new QVBoxLayout(frame_);
        column->setContentsMargins(1, 1, 1, 6);
        column->setSpacing(6);
        auto* caption = new QLabel(ToQString(box.caption), frame_);
        caption->setObjectName("caption");
        column->addWidget(caption);
        auto* body = new QHBoxLayout();
        body->setContentsMargins(6, 0, 6, 0);
        body->setSpacing(8);
        QStyle::StandardPixmap icon = IconOfType(box.type);
        if (icon != QStyle::StandardPixmap(-1)) {
            auto* picture = new QLabel(frame_);
            picture->setPixmap(frame_->style()->standardIcon(icon).pixmap(32, 32));
            picture->setAlignment(Qt::AlignTop);
            body->addWidget(picture, 0, Qt::AlignTop);
        }
        auto* text = new QLabel(ToQString(box.text), frame_);
        text->setWordWrap(true);
        text->setTextFormat(Qt::PlainText);
        body->addWidget(text, 1);
        column->addLayout(body);
        auto* row = new QHBoxLayout();
        row->addStretch();
        for (const Button& b : ButtonsOf(box.type)) {
            auto* button = new QPushButton(QString::fromUtf16(b.text), frame_);
            button->setMinimumWidth(52);
            button->setProperty("answer", b.answer);
            QObject::connect(button, &QPushButton::clicked, this, [this, b] { Answer(b.answer); });
            buttons_.push_back({b.answer, button});
            row->addWidget(button);
        }
        row->addStretch();
        column->addLayout(row);
        Place();
        show();
        raise();
        if (!buttons_.empty()) {
            QPushButton* first = buttons_.front().second;
            first->setDefault(true);
            first->setFocus();
        }
    }

    const RecordedMessageBox& Box() const { return box_; }
    int Result() const { return answer_; }
    QWidget* ButtonFor(int answer) const
    {
        for (const auto& [id, button] : buttons_)
            if (id == answer)
                return button;
        return nullptr;
    }

    // Lays the box out again in the middle of the screen, after the screen turned.
    void Place()
    {
        if (parentWidget())
            setGeometry(parentWidget()->rect());
        int width = std::max(120, this->width() - 16);
        frame_->setFixedWidth(width);
        frame_->adjustSize();
        frame_->move((this->width() - width) / 2,
                     std::max(0, (this->height() - frame_->height()) / 2));
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && EscapeAnswer(box_.type)) {
            Answer(EscapeAnswer(box_.type));
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            for (const auto& [id, button] : buttons_)
                if (button->hasFocus()) {
                    Answer(id);
                    return;
                }
            if (!buttons_.empty())
                Answer(buttons_.front().first);
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (frame_)
            Place();
    }
    // Taps beside the box go nowhere: the box is modal.
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

  private:
    void Answer(int answer)
    {
        if (answer_ == 0)
            answer_ = answer;
        WakeMessageLoop();
    }

    RecordedMessageBox box_;
    QWidget* frame_ = nullptr;
    std::vector<std::pair<int, QPushButton*>> buttons_;
    int answer_ = 0;
};

std::vector<MessageBoxShield*>& OpenBoxes()
{
    static std::vector<MessageBoxShield*> boxes;
    return boxes;
}

MESSAGEBOXHOOK& Hook()
{
    static MESSAGEBOXHOOK hook = nullptr;
    return hook;
}

int PresentOnScreen(const RecordedMessageBox& box)
{
    QWidget* screen = ScreenWidget();
    if (!screen)
        return 0;
    QWidget* focused = QApplication::focusWidget();
    HWND focusedWindow = FocusedWindowOverride();
    auto* shield = new MessageBoxShield(box, screen);
    OpenBoxes().push_back(shield);
    if (Hook())
        Hook()(box);
    while (shield->Result() == 0 && !QuitPosted())
        PumpMessages();
    int answer = shield->Result();
    OpenBoxes().pop_back();
    delete shield;
    FocusedWindowOverride() = focusedWindow;
    if (focused)
        focused->setFocus();
    return answer;
}
} // namespace

void InstallScreenMessageBoxes(bool onScreen)
{
    SetMessageBoxPresenter(onScreen ? PresentOnScreen : nullptr);
}

const RecordedMessageBox* MessageBoxOnScreen()
{
    return OpenBoxes().empty() ? nullptr : &OpenBoxes().back()->Box();
}

QWidget* MessageBoxButton(int answer)
{
    return OpenBoxes().empty() ? nullptr : OpenBoxes().back()->ButtonFor(answer);
}

void SetMessageBoxHook(MESSAGEBOXHOOK hook)
{
    Hook() = hook;
}

void PlaceMessageBoxes()
{
    for (MessageBoxShield* box : OpenBoxes())
        box->Place();
}
