#pragma once

#include "profiles/celllook.h"

#include <QColor>
#include <QStyledItemDelegate>

class ValueListView;

// Draws and edits the cells of a profile value list. A pick-list row is edited with a drop-down of its
// choices only; any other editable row with a line of text that reaches the list as it is typed.
class ValueListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ValueListDelegate(ValueListView* view);

    static inline const QColor MarkedKeyColour{49, 106, 197};
    static inline const QColor SilverColour{192, 192, 192};

    // The look a cell takes now, from the list's current row and focus and the row's flags.
    CellLook LookOf(const QModelIndex& index) const;
    // The options a cell is painted with.
    QStyleOptionViewItem PaintOptions(const QModelIndex& index) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    ValueListView* view;
};
