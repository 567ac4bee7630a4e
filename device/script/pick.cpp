// Choosing an entry of a drop-down list (a tap opens it, a tap on the entry chooses it) or of a
// list box (a tap on the entry).
#include "device/script/input.h"
#include "device/script/verbs.h"
#include "platform/window/window_object.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListView>
#include <QPointer>
#include <QStyleOption>

namespace
{
std::string Quoted(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

// The row of the list's model that shows `text`, or -1.
int RowWithText(QAbstractItemModel* model, const QModelIndex& root, int column, const QString& text)
{
    for (int row = 0; model && row < model->rowCount(root); ++row) {
        if (model->data(model->index(row, column, root), Qt::DisplayRole).toString() == text)
            return row;
    }
    return -1;
}

bool Choosable(const QModelIndex& index)
{
    Qt::ItemFlags flags = index.flags();
    return (flags & Qt::ItemIsEnabled) && (flags & Qt::ItemIsSelectable);
}

// Where a person taps a drop-down to open it: its arrow when it has an edit, else anywhere.
QPoint OpeningPoint(QComboBox* combo)
{
    if (!combo->isEditable())
        return combo->rect().center();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                 QStyle::SC_ComboBoxArrow, combo);
    return arrow.isValid() ? arrow.center() : combo->rect().center();
}

class PickAction : public ScriptAction
{
  public:
    explicit PickAction(const ScriptLine& line)
        : text_(QString::fromUtf8(line.args.at(1).data(), qsizetype(line.args.at(1).size())))
    {
        ScriptNumber(line.args.at(0), 65535, &id_);
    }

    StepResult Step(std::string* reason) override
    {
        if (!combo_)
            return Open(reason);
        return Choose(reason);
    }

  private:
    StepResult Fail(std::string* reason, const std::string& text)
    {
        *reason = text;
        return StepResult::Failed;
    }

    std::string Name() const { return ControlName(int(id_)); }

    StepResult Open(std::string* reason)
    {
        if (opened_)
            return Fail(reason, Name() + " went away while its list was open");
        HWND control = ReachableControl(int(id_), reason);
        if (!control)
            return StepResult::Failed;
        QWidget* widget = WidgetOf(control);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            int row = combo->findText(text_, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (row < 0)
                return Fail(reason, Name() + " has no entry " + Quoted(text_));
            combo_ = combo;
            opened_ = true;
            TapWidget(combo, OpeningPoint(combo));
            return StepResult::More;
        }
        auto* list = qobject_cast<QListView*>(widget);
        if (!list)
            return Fail(reason, Name() + " is not a drop-down list or list box");
        return TapEntry(list, list->model(), list->rootIndex(), list->modelColumn(), reason);
    }

    StepResult Choose(std::string* reason)
    {
        QAbstractItemView* view = combo_->view();
        if (!view || !view->isVisible())
            return Fail(reason, "the list of " + Name() + " did not open");
        // The program may fill the list as it drops down, so the entry is looked for again.
        StepResult result = TapEntry(view, combo_->model(), combo_->rootModelIndex(),
                                     combo_->modelColumn(), reason);
        // A tap that came too soon after the opening one is not taken by the list; the entry
        // under the finger is then chosen with Enter, as a person would.
        if (result == StepResult::Done && combo_ && view->isVisible())
            PressKey(view, Qt::Key_Return, QStringLiteral("\r"));
        return result;
    }

    StepResult TapEntry(QAbstractItemView* view, QAbstractItemModel* model, const QModelIndex& root,
                        int column, std::string* reason)
    {
        int row = RowWithText(model, root, column, text_);
        if (row < 0)
            return Fail(reason, Name() + " has no entry " + Quoted(text_));
        QModelIndex index = model->index(row, column, root);
        if (!Choosable(index))
            return Fail(reason, "the entry " + Quoted(text_) + " of " + Name() + " is greyed");
        view->scrollTo(index);
        QRect rect = view->visualRect(index);
        if (!rect.isValid() || !view->viewport()->rect().intersects(rect))
            return Fail(reason, "the entry " + Quoted(text_) + " of " + Name() +
                                    " cannot be brought into view");
        QPoint point = rect.intersected(view->viewport()->rect()).center();
        LastStep();
        QPointer<QWidget> viewport(view->viewport());
        MovePointer(viewport, point);
        if (viewport)
            TapWidget(viewport, point);
        return StepResult::Done;
    }

    unsigned long id_ = 0;
    QString text_;
    bool opened_ = false;
    QPointer<QComboBox> combo_;
};
} // namespace

std::shared_ptr<ScriptAction> MakePickAction(const ScriptLine& line)
{
    return std::make_shared<PickAction>(line);
}
