#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One working list of the current profile: rows of item name (key) and shown value, each with its
// read-only flag, edit style and pick list. The profile editor shows it in a two-column view; the
// argument builder reads the current values from it by item name.
class ValueListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class EditStyle { FreeText, PickList };
    enum Column { KeyColumn = 0, ValueColumn = 1 };
    enum Role { ReadOnlyRole = Qt::UserRole + 1, EditStyleRole, PickListRole };

    explicit ValueListModel(QObject* parent = nullptr);

    int RowCount() const { return static_cast<int>(rows.size()); }
    // Appends a row and returns its position.
    int AppendRow(const QString& key, const QString& value = QString());
    // Removes every row, from the last to the first.
    void Clear();

    QString Key(int row) const;
    QString Value(int row) const;
    // Sets the shown value whatever the row's flags: the program's own changes (a load, a custom size)
    // are not the user's typing.
    void SetValue(int row, const QString& value);
    bool ReadOnly(int row) const;
    void SetReadOnly(int row, bool readOnly);
    EditStyle Style(int row) const;
    void SetStyle(int row, EditStyle style);
    QStringList PickList(int row) const;
    void SetPickList(int row, const QStringList& choices);

    // The topmost row whose key equals the name without regard to case, or -1.
    int FindRow(const QString& name) const;
    // The value of the row FindRow finds; the empty text when there is none.
    QString ValueOf(const QString& name) const;
    // Sets the value of the row FindRow finds; false (and nothing changed) when there is none.
    bool SetValueOf(const QString& name, const QString& value);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The user's edit of a value: refused for a read-only free-text row, and a pick-list row takes only
    // one of its choices.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    struct Row {
        QString key;
        QString value;
        bool readOnly = false;
        EditStyle style = EditStyle::FreeText;
        QStringList pickList;
    };

    bool Valid(int row) const { return row >= 0 && row < RowCount(); }
    const Row& At(int row) const;
    void RowChanged(int row, const QList<int>& roles);

    QList<Row> rows;
    // The topmost row of each case-folded key, so that a look-up by name does not read every row.
    QHash<QString, int> firstRowOf;
};
