#include "profiles/valuelistmodel.h"

#include <stdexcept>

ValueListModel::ValueListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ValueListModel::AppendRow(const QString& key, const QString& value) {
    const int row = RowCount();
    beginInsertRows(QModelIndex(), row, row);
    rows.append(Row{key, value, false, EditStyle::FreeText, {}});
    const QString folded = key.toCaseFolded();
    if (!firstRowOf.contains(folded))
        firstRowOf.insert(folded, row);
    endInsertRows();
    return row;
}

void ValueListModel::Clear() {
    for (int row = RowCount() - 1; row >= 0; --row) {
        beginRemoveRows(QModelIndex(), row, row);
        rows.removeAt(row);
        endRemoveRows();
    }
    firstRowOf.clear();
}

const ValueListModel::Row& ValueListModel::At(int row) const {
    if (!Valid(row))
        throw std::out_of_range("ValueListModel row out of range");
    return rows.at(row);
}

QString ValueListModel::Key(int row) const {
    return At(row).key;
}

QString ValueListModel::Value(int row) const {
    return At(row).value;
}

bool ValueListModel::ReadOnly(int row) const {
    return At(row).readOnly;
}

ValueListModel::EditStyle ValueListModel::Style(int row) const {
    return At(row).style;
}

QStringList ValueListModel::PickList(int row) const {
    return At(row).pickList;
}

void ValueListModel::RowChanged(int row, const QList<int>& roles) {
    emit dataChanged(index(row, KeyColumn), index(row, ValueColumn), roles);
}

void ValueListModel::SetValue(int row, const QString& value) {
    At(row);
    if (rows[row].value == value)
        return;
    rows[row].value = value;
    emit dataChanged(index(row, ValueColumn), index(row, ValueColumn), {Qt::DisplayRole, Qt::EditRole});
}

void ValueListModel::SetReadOnly(int row, bool readOnly) {
    At(row);
    if (rows[row].readOnly == readOnly)
        return;
    rows[row].readOnly = readOnly;
    RowChanged(row, {ReadOnlyRole});
}

void ValueListModel::SetStyle(int row, EditStyle style) {
    At(row);
    if (rows[row].style == style)
        return;
    rows[row].style = style;
    RowChanged(row, {EditStyleRole});
}

void ValueListModel::SetPickList(int row, const QStringList& choices) {
    At(row);
    if (rows[row].pickList == choices)
        return;
    rows[row].pickList = choices;
    RowChanged(row, {PickListRole});
}

int ValueListModel::FindRow(const QString& name) const {
    return firstRowOf.value(name.toCaseFolded(), -1);
}

QString ValueListModel::ValueOf(const QString& name) const {
    const int row = FindRow(name);
    return row < 0 ? QString() : rows.at(row).value;
}

bool ValueListModel::SetValueOf(const QString& name, const QString& value) {
    const int row = FindRow(name);
    if (row < 0)
        return false;
    SetValue(row, value);
    return true;
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int ValueListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ValueListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !Valid(index.row()))
        return QVariant();
    const Row& row = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == KeyColumn ? row.key : row.value;
    case ReadOnlyRole:
        return row.readOnly;
    case EditStyleRole:
        return static_cast<int>(row.style);
    case PickListRole:
        return row.pickList;
    default:
        return QVariant();
    }
}

QVariant ValueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == KeyColumn ? QStringLiteral("Key") : QStringLiteral("Value");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ValueListModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !Valid(index.row()))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Row& row = rows.at(index.row());
    // A pick-list row is read-only to typing but still changes by picking a choice.
    if (index.column() == ValueColumn && (!row.readOnly || row.style == EditStyle::PickList))
        result |= Qt::ItemIsEditable;
    return result;
}

bool ValueListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != ValueColumn || !Valid(index.row()))
        return false;
    const Row& row = rows.at(index.row());
    const QString text = value.toString();
    if (row.style == EditStyle::PickList) {
        if (!row.pickList.contains(text))
            return false;
    } else if (row.readOnly) {
        return false;
    }
    SetValue(index.row(), text);
    return true;
}
