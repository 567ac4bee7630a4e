// Taps on buttons and typing into edit controls.
#include "device/screen/screen.h"
#include "device/script/input.h"
#include "device/script/verbs.h"
#include "platform/window/window_object.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace
{
class ClickAction : public ScriptAction
{
  public:
    explicit ClickAction(const ScriptLine& line) : target_(line.args.at(0)) {}

    StepResult Step(std::string* reason) override
    {
        if (!NoMessageBoxUp(reason))
            return StepResult::Failed;
        if (target_ == "ok")
            return TapOk(reason);
        unsigned long id = 0;
        ScriptNumber(target_, 65535, &id);
        HWND control = ReachableControl(int(id), reason);
        if (!control)
            return StepResult::Failed;
        QWidget* widget = WidgetOf(control);
        LastStep();
        TapWidget(widget, TapPointOf(widget));
        return StepResult::Done;
    }

  private:
    StepResult TapOk(std::string* reason)
    {
        QWidget* ok = NavigationBarOkButton();
        if (!ok || ok->isHidden()) {
            *reason = "the navigation bar shows no ok button";
            return StepResult::Failed;
        }
        if (!ok->isEnabled()) {
            *reason = "the navigation bar's ok button is greyed";
            return StepResult::Failed;
        }
        LastStep();
        TapWidget(ok, ok->rect().center());
        return StepResult::Done;
    }

    std::string target_;
};

// The widget that takes the typing of an edit control, or null for another kind of control.
QWidget* EditWidgetOf(QWidget* widget)
{
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
        qobject_cast<QPlainTextEdit*>(widget))
        return widget;
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->lineEdit();
    return nullptr;
}

bool ReadOnly(QWidget* edit)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        return line->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(edit))
        return text->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(edit))
        return plain->isReadOnly();
    return false;
}

// The key code of a typed character: its capital for the keys of Latin-1, as a keyboard
// reports them; the text carries the character itself.
int KeyOf(const QString& character)
{
    if (character.size() != 1)
        return Qt::Key_unknown;
    QChar c = character.at(0);
    if (c.unicode() >= 0x100)
        return Qt::Key_unknown;
    if (c == u' ')
        return Qt::Key_Space;
    return c.toUpper().unicode();
}

// Focuses the edit with a tap, selects all of it and types the text a character at a time,
// each character a step, so that the edit's own limit and notifications work as for a person.
class TypeAction : public ScriptAction
{
  public:
    explicit TypeAction(const ScriptLine& line)
        : text_(QString::fromUtf8(line.args.at(1).data(), qsizetype(line.args.at(1).size())))
    {
        ScriptNumber(line.args.at(0), 65535, &id_);
    }

    StepResult Step(std::string* reason) override
    {
        if (phase_ == Phase::Focus)
            return Focus(reason);
        if (!edit_) {
            *reason = ControlName(int(id_)) + " went away while it was being typed in";
            return StepResult::Failed;
        }
        if (phase_ == Phase::SelectAll) {
            PressKey(edit_, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
            phase_ = text_.isEmpty() ? Phase::Clear : Phase::Characters;
            return StepResult::More;
        }
        if (phase_ == Phase::Clear) {
            LastStep();
            PressKey(edit_, Qt::Key_Backspace, QString(QChar(8)));
            return StepResult::Done;
        }
        qsizetype length = text_.at(next_).isHighSurrogate() && next_ + 1 < text_.size() ? 2 : 1;
        QString character = text_.mid(next_, length);
        next_ += length;
        bool last = next_ >= text_.size();
        if (last)
            LastStep();
        PressKey(edit_, KeyOf(character), character);
        return last ? StepResult::Done : StepResult::More;
    }

  private:
    enum class Phase { Focus, SelectAll, Clear, Characters };

    StepResult Focus(std::string* reason)
    {
        HWND control = ReachableControl(int(id_), reason);
        if (!control)
            return StepResult::Failed;
        QWidget* edit = EditWidgetOf(WidgetOf(control));
        if (!edit) {
            *reason = ControlName(int(id_)) + " is not an edit control";
            return StepResult::Failed;
        }
        if (ReadOnly(edit)) {
            *reason = ControlName(int(id_)) + " is read-only";
            return StepResult::Failed;
        }
        edit_ = edit;
        phase_ = Phase::SelectAll;
        TapWidget(edit, edit->rect().center());
        return StepResult::More;
    }

    unsigned long id_ = 0;
    QString text_;
    qsizetype next_ = 0;
    Phase phase_ = Phase::Focus;
    QPointer<QWidget> edit_;
};
} // namespace

std::shared_ptr<ScriptAction> MakeClickAction(const ScriptLine& line)
{
    return std::make_shared<ClickAction>(line);
}

std::shared_ptr<ScriptAction> MakeTypeAction(const ScriptLine& line)
{
    return std::make_shared<TypeAction>(line);
}
