#include "profiles/valuelistdelegate.h"

#include "profiles/valuelistmodel.h"
#include "profiles/valuelistview.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

bool IsPickList(const QModelIndex& index) {
    return index.data(ValueListModel::EditStyleRole).toInt() ==
           static_cast<int>(ValueListModel::EditStyle::PickList);
}

} // namespace

ValueListDelegate::ValueListDelegate(ValueListView* listView)
    : QStyledItemDelegate(listView), view(listView) {}

CellLook ValueListDelegate::LookOf(const QModelIndex& index) const {
    CellLook::Cell cell;
    cell.keyColumn = index.column() == ValueListModel::KeyColumn;
    cell.currentRow = view->currentIndex().isValid() && view->currentIndex().row() == index.row();
    cell.listFocused = view->ListHasFocus();
    cell.readOnly = index.data(ValueListModel::ReadOnlyRole).toBool();
    cell.pickList = IsPickList(index);
    return CellLook::For(cell);
}

QStyleOptionViewItem ValueListDelegate::PaintOptions(const QModelIndex& index) const {
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.state |= QStyle::State_Selected | QStyle::State_HasFocus;
    initStyleOption(&option, index);
    return option;
}

void ValueListDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const CellLook look = LookOf(index);
    option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    switch (look.background) {
    case CellLook::Background::Fixed:
        // The skin's face colour, which fixed cells share with the window frame.
        option->backgroundBrush = view->palette().color(QPalette::Window);
        break;
    case CellLook::Background::Window:
        option->backgroundBrush = view->palette().color(QPalette::Base);
        break;
    case CellLook::Background::Marked:
        option->backgroundBrush = MarkedKeyColour;
        break;
    }
    QColor text = view->palette().color(QPalette::Text);
    if (look.text == CellLook::Text::Black)
        text = Qt::black;
    else if (look.text == CellLook::Text::Silver)
        text = SilverColour;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        option->palette.setColor(group, QPalette::Text, text);
}

QWidget* ValueListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    if (index.column() != ValueListModel::ValueColumn || !(index.flags() & Qt::ItemIsEditable))
        return nullptr;
    auto* self = const_cast<ValueListDelegate*>(this);
    if (IsPickList(index)) {
        auto* choices = new QComboBox(parent);
        choices->setEditable(false);
        choices->addItems(index.data(ValueListModel::PickListRole).toStringList());
        // A pick reaches the list at once, as a person expects from a drop-down.
        connect(choices, &QComboBox::activated, self, [self, choices] { emit self->commitData(choices); });
        return choices;
    }
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setFrame(false);
        line->setStyleSheet(
            QStringLiteral("QLineEdit { border: none; border-radius: 0px; padding: 0px 2px; }"));
        // Every keystroke reaches the list, so a run started meanwhile uses the text as it stands.
        connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
    }
    return editor;
}

void ValueListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString value = index.data(Qt::EditRole).toString();
    if (auto* choices = qobject_cast<QComboBox*>(editor)) {
        const int position = choices->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        choices->setCurrentIndex(position);
        // A value that is no choice (a custom size) still shows.
        choices->setPlaceholderText(position < 0 ? value : QString());
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        // Writing the same text back would move the cursor while the person types.
        if (line->text() != value)
            line->setText(value);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ValueListDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    if (auto* choices = qobject_cast<QComboBox*>(editor)) {
        if (choices->currentIndex() >= 0)
            model->setData(index, choices->currentText(), Qt::EditRole);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}
