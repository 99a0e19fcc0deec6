#include "formsfixture.h"
#include "profiles/opsettingform.h"
#include "profiles/sizeform.h"
#include "profiles/valuelistview.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QByteArray SizeProfile = "[Main]\nType=mp4\nPara=2\n0=Video Codec\n1=Video Size\n"
                               "[Video Codec]\nSort=1\ncmd=-c:v\nCaption=H.264,\nValue=libx264,\n"
                               "[Video Size]\nSort=1\ncmd=-s\nCaption=Original Size,Custom Size,320x240,\n"
                               "Value=,,320x240,\n";

QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

// A row of the size checks: the typed width and height, the message they get ("width", "height" or none)
// and the video size that stands afterwards.
void AddCheck(const char* name, const char* width, const char* height, const char* message,
              const char* stored) {
    QTest::newRow(name) << QString::fromLatin1(width) << QString::fromLatin1(height)
                        << QString::fromLatin1(message) << QString::fromLatin1(stored);
}

} // namespace

class TestSizeForm : public QObject, public FormsFixture {
    Q_OBJECT

    QString VideoSize() { return opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")); }

    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;

    // The person picks "Custom Size" in the editor's video size row.
    void PickCustomSize() {
        ValueListView* video = opSettingForm->vleVideo;
        video->setCurrentIndex(video->model()->index(1, 1));
        opSettingForm->Lists.vleVideo.SetValueOf(QStringLiteral("Video Size"), QStringLiteral("Custom Size"));
    }

private slots:
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/Sized.apf"), SizeProfile);
        CreateForms({});
        MainForm->show();
        ui.cmbProfile->setCurrentIndex(0);
        MainForm->BitBtn1Click();
        PickCustomSize();
    }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void layout() {
        QCOMPARE(SizeForm->windowTitle(), QStringLiteral("Video Size of output files"));
        QCOMPARE(SizeForm->size(), QSize(336, 106));
        QCOMPARE(SizeForm->Label1->text(), QStringLiteral("Width:"));
        QCOMPARE(SizeForm->Label2->text(), QStringLiteral("Height:"));
        QCOMPARE(SizeForm->edtWidth->geometry().topLeft(), QPoint(56, 20));
        QCOMPARE(SizeForm->edtHeight->width(), 97);
        QCOMPARE(SizeForm->btnOK->geometry(), QRect(160, 64, 75, 25));
        QCOMPARE(SizeForm->btnCancel->geometry(), QRect(248, 64, 75, 25));
        QVERIFY(!SizeForm->btnOK->isDefault() && !SizeForm->btnOK->autoDefault());
        QVERIFY(!SizeForm->btnCancel->isDefault() && !SizeForm->btnCancel->autoDefault());
        QCOMPARE(NextTabStop(SizeForm->edtWidth), SizeForm->edtHeight);
        QCOMPARE(NextTabStop(SizeForm->edtHeight), SizeForm->btnOK);
        QCOMPARE(NextTabStop(SizeForm->btnOK), SizeForm->btnCancel);
    }

    // The main window is locked while the dialog is open; the profile editor, one of its windows too,
    // stays usable.
    void shownLocksOnlyTheMainWindow() {
        QVERIFY(SizeForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QVERIFY(SizeForm->isEnabled());
        QVERIFY(opSettingForm->isEnabled());
        QVERIFY(opSettingForm->vleVideo->isEnabled());
        QVERIFY(opSettingForm->Button1->isEnabled());
        const QPoint offset = SizeForm->geometry().center() - MainForm->geometry().center();
        QVERIFY(offset.manhattanLength() <= 8);
    }

    void checks_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        AddCheck("640 by 480", "640", "480", "", "640x480");
        AddCheck("zero passes", "0", "10", "", "0x10");
        AddCheck("negative passes", "-320", "240", "", "-320x240");
        AddCheck("leading blank kept", " 640", "480", "", " 640x480");
        AddCheck("hexadecimal kept as typed", "$1F", "0x10", "", "$1Fx0x10");
        AddCheck("unit after the digits", "640px", "480", "width", "Custom Size");
        AddCheck("empty width before a bad height", "", "tall", "width", "Custom Size");
        AddCheck("bad height", "640", "480 ", "height", "Custom Size");
        AddCheck("height past 32 bits", "640", "2147483648", "height", "Custom Size");
    }
    void checks() {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        SizeForm->edtWidth->setText(width);
        SizeForm->edtHeight->setText(height);
        QTest::mouseClick(SizeForm->btnOK, Qt::LeftButton);
        QCOMPARE(VideoSize(), stored);
        QCOMPARE(SizeForm->isVisible(), !message.isEmpty());
        QCOMPARE(MainForm->isEnabled(), message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(doubles->messages.calls.isEmpty());
            return;
        }
        QCOMPARE(doubles->messages.calls.size(), 1);
        const MessageBoxDouble::Call& call = doubles->messages.calls.at(0);
        const bool isWidth = message == QLatin1String("width");
        QCOMPARE(call.text, isWidth ? QStringLiteral("Please specify a proper width for output videos.")
                                    : QStringLiteral("Please specify a proper height for output videos."));
        QCOMPARE(call.caption,
                 isWidth ? QStringLiteral("Incorrect Width") : QStringLiteral("Incorrect Height"));
        QCOMPARE(call.icon, MsgIcon::Information);
        QCOMPARE(call.buttons, MsgButtons::Ok);
        QCOMPARE(call.owner, SizeForm);
        QCOMPARE(SizeForm->focusWidget(), isWidth ? SizeForm->edtWidth : SizeForm->edtHeight);
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("close box") << "close box";
    }
    void closing() {
        QFETCH(QString, how);
        SizeForm->edtWidth->setText(QStringLiteral("640"));
        SizeForm->edtHeight->setText(QStringLiteral("480"));
        if (how == QLatin1String("cancel"))
            QTest::mouseClick(SizeForm->btnCancel, Qt::LeftButton);
        else
            SizeForm->close();
        QVERIFY(!SizeForm->isVisible());
        QCOMPARE(VideoSize(), QStringLiteral("Original Size"));
        QVERIFY(MainForm->isEnabled());
        QVERIFY(opSettingForm->isEnabled());
        // The boxes keep what was typed for the next showing.
        PickCustomSize();
        QVERIFY(SizeForm->isVisible());
        QCOMPARE(SizeForm->edtWidth->text(), QStringLiteral("640"));
        QCOMPARE(SizeForm->edtHeight->text(), QStringLiteral("480"));
    }

    // Enter in a box presses no button.
    void enterPressesNothing() {
        SizeForm->edtWidth->setText(QStringLiteral("640"));
        SizeForm->edtHeight->setText(QStringLiteral("480"));
        QTest::keyClick(SizeForm->edtHeight, Qt::Key_Return);
        QTest::keyClick(SizeForm->edtHeight, Qt::Key_Escape);
        QVERIFY(SizeForm->isVisible());
        QCOMPARE(VideoSize(), QStringLiteral("Custom Size"));
    }
};

QTEST_MAIN(TestSizeForm)
#include "tst_sizeform.moc"
