#include "profiles/valuelistview.h"

#include "profiles/valuelistdelegate.h"
#include "profiles/valuelistmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QResizeEvent>

namespace {
// 17 pixels of row and the grid line that the table draws inside the section.
constexpr int RowPitch = 18;
} // namespace

ValueListView::ValueListView(ValueListModel* model, QWidget* parent)
    : QTableView(parent), list(model), delegate(new ValueListDelegate(this)) {
    // A load empties the list before it fills it again; the current row it moves meanwhile is not the
    // person's. Connected before the selection model's own handlers, so that it runs first.
    connect(list, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { removingRows = true; });
    setModel(list);
    connect(list, &QAbstractItemModel::rowsRemoved, this, [this] { removingRows = false; });
    setItemDelegate(delegate);
    setFrameShape(QFrame::NoFrame);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    horizontalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(RowPitch);
    verticalHeader()->setDefaultSectionSize(RowPitch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The columns share the width; a person who drags the line between them sets a new share.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!fitting && column == ValueListModel::KeyColumn && viewport()->width() > 0)
            keyShare = double(size) / viewport()->width();
    });
}

void ValueListView::RestoreCurrentRow() {
    const int rows = list->RowCount();
    if (currentRow < 0 || rows == 0)
        return;
    const int row = std::min(currentRow, rows - 1);
    selectionModel()->setCurrentIndex(list->index(row, ValueListModel::ValueColumn),
                                      QItemSelectionModel::NoUpdate);
}

bool ValueListView::ListHasFocus() const {
    const QWidget* focused = QApplication::focusWidget();
    return focused && (focused == this || isAncestorOf(focused));
}

void ValueListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The key column is fixed: a click or arrow key there makes its row's value current instead.
    if (current.isValid() && current.column() == ValueListModel::KeyColumn) {
        selectionModel()->setCurrentIndex(current.siblingAtColumn(ValueListModel::ValueColumn),
                                          QItemSelectionModel::NoUpdate);
        return;
    }
    if (current.isValid() && !removingRows)
        currentRow = current.row();
    QTableView::currentChanged(current, previous);
    // The key cell of the row left behind and of the new one change their colours.
    viewport()->update();
}

bool ValueListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A row made current by the program (after a load) must not pull the focus into the list.
    if (trigger == QAbstractItemView::CurrentChanged && !hasFocus())
        return false;
    return QTableView::edit(index, trigger, event);
}

void ValueListView::mousePressEvent(QMouseEvent* event) {
    emit MousePressed();
    QTableView::mousePressEvent(event);
}

void ValueListView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns();
}

void ValueListView::FitColumns() {
    const int width = viewport()->width();
    if (width <= 0)
        return;
    fitting = true;
    setColumnWidth(ValueListModel::KeyColumn, std::max(qRound(width * keyShare), 8));
    fitting = false;
}
