#pragma once

#include <QTableView>

class ValueListModel;
class ValueListDelegate;

// A two-column view over one working list of the profile editor: the item names in a fixed key column,
// the values beside them. The value cell of the current row always holds the current cell, and its
// editor opens as soon as the row becomes current while the list has the focus.
class ValueListView : public QTableView {
    Q_OBJECT
public:
    ValueListView(ValueListModel* list, QWidget* parent = nullptr);

    using QTableView::edit;

    ValueListModel* List() const { return list; }
    ValueListDelegate* Delegate() const { return delegate; }

    // The current row, kept across a load that empties and refills the list; -1 before any.
    int CurrentRow() const { return currentRow; }
    // Makes the remembered row current again after a load, or the last row when the list got shorter.
    void RestoreCurrentRow();

    // The list itself or the editor in one of its cells has the keyboard focus.
    bool ListHasFocus() const;

signals:
    void MousePressed();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitColumns();

    ValueListModel* list;
    ValueListDelegate* delegate;
    int currentRow = -1;
    // The key column's share of the width, designed as 160 of 360 pixels.
    double keyShare = 160.0 / 360.0;
    bool fitting = false;
    bool removingRows = false;
};
