#include "profiles/valuelistmodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

namespace {
// Video Codec as a pick list, Note as read-only free text, Bit Rate as editable free text.
void Fill(ValueListModel& model) {
    const int codec = model.AppendRow(QStringLiteral("Video Codec"), QStringLiteral("H.264"));
    model.SetStyle(codec, ValueListModel::EditStyle::PickList);
    model.SetPickList(codec, {QStringLiteral("H.264"), QStringLiteral("VP9")});
    model.SetReadOnly(codec, true);
    const int note = model.AppendRow(QStringLiteral("Note"), QStringLiteral("fixed"));
    model.SetReadOnly(note, true);
    model.AppendRow(QStringLiteral("Bit Rate"), QStringLiteral("128"));
}
} // namespace

class TestValueListModel : public QObject {
    Q_OBJECT
private slots:
    void lookup_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::newRow("exact") << "Bit Rate" << 2 << "128";
        QTest::newRow("other case") << "VIDEO codec" << 0 << "H.264";
        QTest::newRow("topmost of two") << "note" << 1 << "fixed";
        QTest::newRow("missing reads empty") << "Frame Rate" << -1 << "";
        QTest::newRow("no trimming") << " Note" << -1 << "";
    }
    void lookup() {
        QFETCH(QString, name);
        QFETCH(int, row);
        QFETCH(QString, value);
        ValueListModel model;
        Fill(model);
        model.AppendRow(QStringLiteral("NOTE"), QStringLiteral("second"));
        QCOMPARE(model.FindRow(name), row);
        QCOMPARE(model.ValueOf(name), value);
    }

    void userEdits_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("pick list takes a choice") << 0 << "VP9" << true;
        QTest::newRow("pick list refuses typing") << 0 << "x265" << false;
        QTest::newRow("read-only free text refuses") << 1 << "other" << false;
        QTest::newRow("free text takes typing") << 2 << "640" << true;
        QTest::newRow("free text can be cleared") << 2 << "" << true;
    }
    void userEdits() {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        ValueListModel model;
        Fill(model);
        const QString before = model.Value(row);
        const QModelIndex cell = model.index(row, ValueListModel::ValueColumn);
        QCOMPARE(model.flags(cell).testFlag(Qt::ItemIsEditable), row != 1);
        QVERIFY(!model.flags(model.index(row, ValueListModel::KeyColumn)).testFlag(Qt::ItemIsEditable));
        QCOMPARE(model.setData(cell, typed), accepted);
        QCOMPARE(model.Value(row), accepted ? typed : before);
    }

    void signalsForViews() {
        ValueListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        Fill(model);
        QCOMPARE(inserted.count(), 3);
        changed.clear();

        // The program's own change passes whatever the flags say (a custom size on a pick list).
        model.SetValue(0, QStringLiteral("640x480"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, ValueListModel::ValueColumn));
        QCOMPARE(model.data(model.index(0, ValueListModel::ValueColumn)).toString(),
                 QStringLiteral("640x480"));
        model.SetValue(0, QStringLiteral("640x480"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.SetValueOf(QStringLiteral("bit rate"), QStringLiteral("96")));
        QVERIFY(!model.SetValueOf(QStringLiteral("missing"), QStringLiteral("96")));
        QCOMPARE(changed.count(), 2);

        QCOMPARE(model.data(model.index(0, 0), ValueListModel::PickListRole).toStringList(),
                 (QStringList{"H.264", "VP9"}));
        QVERIFY(model.data(model.index(1, 1), ValueListModel::ReadOnlyRole).toBool());

        model.Clear();
        QCOMPARE(removed.count(), 3);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.ValueOf(QStringLiteral("Bit Rate")), QString());
    }
};

QTEST_GUILESS_MAIN(TestValueListModel)
#include "tst_valuelistmodel.moc"
