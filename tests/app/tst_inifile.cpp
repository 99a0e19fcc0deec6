#include "app/apperror.h"
#include "platform/inifile.h"
#include "readonlyfolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QString WriteFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath("test.ini");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}
} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("[Main]\nType=avi\n") << "Main"
                               << "Type"
                               << "avi";
        QTest::newRow("case") << QByteArray("[MAIN]\ntype=avi\n") << "main"
                              << "TYPE"
                              << "avi";
        QTest::newRow("blanks") << QByteArray("[ Main ]\n  Type  =  avi  \n") << "Main"
                                << "Type"
                                << "avi";
        QTest::newRow("double quotes") << QByteArray("[Main]\nType=\" avi \"\n") << "Main"
                                       << "Type"
                                       << " avi ";
        QTest::newRow("single quotes") << QByteArray("[Main]\nType='avi'\n") << "Main"
                                       << "Type"
                                       << "avi";
        QTest::newRow("unbalanced quote") << QByteArray("[Main]\nType=\"avi\n") << "Main"
                                          << "Type"
                                          << "\"avi";
        QTest::newRow("missing key") << QByteArray("[Main]\nType=avi\n") << "Main"
                                     << "Para"
                                     << "default";
        QTest::newRow("missing section") << QByteArray("[Other]\nType=avi\n") << "Main"
                                         << "Type"
                                         << "default";
        QTest::newRow("crlf") << QByteArray("[Main]\r\nType=avi\r\n") << "Main"
                              << "Type"
                              << "avi";
        // As old Macintosh files end their lines; a value never holds one.
        QTest::newRow("lone carriage return") << QByteArray("[Main]\rType=avi\rPara=2\n") << "Main"
                                              << "Type"
                                              << "avi";
        QTest::newRow("comment") << QByteArray("[Main]\n;Type=mkv\nType=avi\n") << "Main"
                                 << "Type"
                                 << "avi";
        QTest::newRow("first duplicate") << QByteArray("[Main]\nType=avi\nType=mkv\n") << "Main"
                                         << "Type"
                                         << "avi";
        QTest::newRow("empty value") << QByteArray("[Main]\nType=\n") << "Main"
                                     << "Type"
                                     << "";
        QTest::newRow("equals in value") << QByteArray("[M]\nk=a=b\n") << "M"
                                         << "k"
                                         << "a=b";
        QTest::newRow("key before section") << QByteArray("Type=avi\n[Main]\n") << "Main"
                                            << "Type"
                                            << "default";
    }
    void reading() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        IniFile ini(WriteFile(dir, content));
        QCOMPARE(ini.ReadString(section, key, "default"), expected);
    }

    void longValueIsCut() {
        QTemporaryDir dir;
        IniFile ini(WriteFile(dir, "[Main]\nk=" + QByteArray(5000, 'x') + "\n"));
        QCOMPARE(ini.ReadString("Main", "k", "").size(), 2047);
    }

    void integers_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("12") << 12;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("hex") << QByteArray("0x1F") << 31;
        QTest::newRow("upper hex") << QByteArray("0X10") << 16;
        QTest::newRow("bare 0x") << QByteArray("0x") << 99;
        QTest::newRow("word") << QByteArray("yes") << 99;
        QTest::newRow("empty") << QByteArray("") << 99;
        QTest::newRow("trailing text") << QByteArray("12abc") << 99;
        QTest::newRow("overflow") << QByteArray("99999999999") << 99;
    }
    void integers() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QTemporaryDir dir;
        IniFile ini(WriteFile(dir, "[Main]\nk=" + value + "\n"));
        QCOMPARE(ini.ReadInteger("Main", "k", 99), expected);
    }

    void booleans() {
        QTemporaryDir dir;
        IniFile ini(WriteFile(dir, "[Main]\na=0\nb=2\nc=true\nd=\ne=0x0\n"));
        QCOMPARE(ini.ReadBool("Main", "a", true), false);
        QCOMPARE(ini.ReadBool("Main", "b", false), true);
        QCOMPARE(ini.ReadBool("Main", "c", false), false);
        QCOMPARE(ini.ReadBool("Main", "c", true), true);
        QCOMPARE(ini.ReadBool("Main", "d", true), true);
        QCOMPARE(ini.ReadBool("Main", "e", true), false);
    }

    void writingKeepsOtherLines_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace in place") << QByteArray("; note\n[Main]\nINDEX = 3\nOther=x\n")
                                          << QByteArray("; note\n[Main]\nINDEX=7\nOther=x\n");
        QTest::newRow("append to section") << QByteArray("[Main]\nOther=x\n\n[Next]\ny=1\n")
                                           << QByteArray("[Main]\nOther=x\nIndex=7\n\n[Next]\ny=1\n");
        QTest::newRow("append section")
            << QByteArray("[Next]\ny=1\n") << QByteArray("[Next]\ny=1\n\n[Main]\nIndex=7\n");
        QTest::newRow("new file") << QByteArray() << QByteArray("[Main]\nIndex=7\n");
        QTest::newRow("crlf kept") << QByteArray("[Main]\r\nIndex=1\r\n")
                                   << QByteArray("[Main]\r\nIndex=7\r\n");
    }
    void writingKeepsOtherLines() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = before.isNull() ? dir.filePath("new.ini") : WriteFile(dir, before);
        IniFile ini(path);
        ini.WriteInteger("Main", "Index", 7);
        QCOMPARE(ReadAll(path), after);
        QCOMPARE(IniFile(path).ReadInteger("Main", "Index", 0), 7);
    }

    // A line break would split the line: the rest would read as a stray line or even as a key.
    void lineBreaksAreRefused_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder with a newline") << "Main"
                                               << "Output Dir"
                                               << "/home/a\nProfile=3/"
                                               << ": the value of \"Output Dir\" holds a line break.";
        QTest::newRow("carriage return") << "Video Codec"
                                         << "Caption"
                                         << "H.264\r"
                                         << ": the value of \"Caption\" holds a line break.";
        QTest::newRow("key") << "Main"
                             << "Out\nput"
                             << "x"
                             << ": a name holds a line break.";
        QTest::newRow("section") << "Ma\r\nin"
                                 << "Output"
                                 << "x"
                                 << ": a name holds a line break.";
    }
    void lineBreaksAreRefused() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QByteArray before("[Main]\nOutput Dir=/home/a/\nProfile=1\n");
        const QString path = WriteFile(dir, before);
        IniFile ini(path);
        try {
            ini.WriteString(section, key, value);
            QFAIL("the value was written");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + path + reason);
        }
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(ini.ReadString("Main", "Output Dir", QString()), QStringLiteral("/home/a/"));
    }

    void keysInOrder() {
        QTemporaryDir dir;
        IniFile ini(WriteFile(dir, "[Main]\nType=avi\nPara=2\n0=A\n1=B\n"));
        QCOMPARE(ini.Keys("main"), QStringList({"Type", "Para", "0", "1"}));
        QVERIFY(ini.HasSection("MAIN"));
        QVERIFY(!ini.HasKey("Main", "2"));
    }

    void failedWriteKeepsOldFile() {
        QTemporaryDir dir;
        const QString path = WriteFile(dir, "[Main]\nk=1\n");
        bool thrown = false;
        {
            ReadOnlyFolder readOnly(dir.path());
            if (!readOnly.active())
                QSKIP("this machine cannot make a folder read-only");
            IniFile ini(path);
            try {
                ini.WriteString("Main", "k", "2");
            } catch (const AppError& error) {
                thrown = true;
                QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + path);
            }
        }
        QVERIFY(thrown);
        QCOMPARE(ReadAll(path), QByteArray("[Main]\nk=1\n"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
