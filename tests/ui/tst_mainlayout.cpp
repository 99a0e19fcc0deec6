#include "mainformlookup.h"
#include "preview/dstrackbar.h"
#include "preview/sourcepreview.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "ui/roundimage.h"
#include "ui/skin.h"
#include "widgets/imagebutton.h"
#include "windowdoubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVideoWidget>
#include <QtTest>
#include <memory>

class TestMainLayout : public QObject {
    Q_OBJECT

    MainFormDialogsDouble dialogs;
    std::unique_ptr<TMainForm> form;
    MainFormControls ui;

    QWidget* Control(const QString& name) {
        auto* widget = form->findChild<QWidget*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

private slots:
    void initTestCase() {
        Skin::Apply(*qApp);
        form = std::make_unique<TMainForm>(dialogs);
        ui = FindMainControls(form.get());
    }
    void cleanupTestCase() { form.reset(); }

    void window() {
        QCOMPARE(form->size(), QSize(772, 410));
        QCOMPARE(form->minimumSize(), QSize(772, 410));
        QCOMPARE(form->maximumSize(), QSize(772, 410));
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    }

    void centredWhenFirstShown() {
        TMainForm window(dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint screenCentre = window.screen()->availableGeometry().center();
        // The frame is not known before the window is first shown, so it may be off by its width.
        const int frame = window.frameGeometry().width() - window.width();
        QVERIFY((window.frameGeometry().center() - screenCentre).manhattanLength() <= 2 * frame + 2);
    }

    // An empty width in the table marks a label that sizes itself to its text.
    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("expected");
        const auto row = [](const char* name, const char* parent, int left, int top, int width = -1,
                            int height = -1) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent)
                                << QRect(left, top, width, height);
        };
        row("panLeft", "", 0, 0, 399, 410);
        row("imgScreen", "panLeft", 0, 0, 390, 290);
        row("Image1", "panLeft", 32, 105, 320, 80);
        row("VideoWindow", "panLeft", 26, 24, 331, 237);
        row("labLeft", "panLeft", 16, 292, 80, 13);
        row("labMiddle", "panLeft", 131, 292, 80, 13);
        row("labRight", "panLeft", 248, 292, 80, 13);
        row("tkbProgress", "panLeft", 11, 314, 326, 13);
        row("labCurrent", "panLeft", 333, 316, 50, 13);
        row("labStart", "panLeft", 16, 332);
        row("labEnd", "panLeft", 293, 332);
        row("imgPlay", "panLeft", 5, 364, 63, 35);
        row("imgPause", "panLeft", 68, 364, 63, 35);
        row("imgStop", "panLeft", 131, 364, 63, 35);
        row("imgSelStart", "panLeft", 203, 364, 63, 35);
        row("imgSelEnd", "panLeft", 266, 364, 63, 35);
        row("imgErase", "panLeft", 329, 364, 63, 35);
        row("panRight", "", 399, 0, 373, 410);
        row("ToolBar1", "panRight", 0, -2, 372, 94);
        row("Label2", "panRight", 16, 95);
        row("edtSource", "panRight", 58, 92, 300, 19);
        row("gpbOutput", "panRight", 12, 114, 348, 183);
        row("panProgress", "panRight", 6, 80, 360, 17);
        row("imgStart", "panRight", 54, 297, 110, 110);
        row("imgCancel", "panRight", 54, 297, 110, 110);
        row("imgRightBottom", "panRight", 112, 311, 263, 99);
        row("imgLogo", "panRight", 224, 339, 137, 63);
        row("rdbStartEnd", "gpbOutput", 24, 22, 193, 17);
        row("Label4", "gpbOutput", 43, 43);
        row("edtStart", "gpbOutput", 99, 41, 75, 19);
        row("Label5", "gpbOutput", 209, 44);
        row("edtEnd", "gpbOutput", 262, 41, 75, 19);
        row("rdbEqual", "gpbOutput", 24, 75, 137, 17);
        row("edtSectionQty", "gpbOutput", 161, 73, 49, 19);
        row("labLength", "gpbOutput", 16, 101, 281, 13);
        row("Label10", "gpbOutput", 16, 128);
        row("cmbProfile", "gpbOutput", 88, 125, 185, 21);
        row("BitBtn1", "gpbOutput", 277, 123, 65, 23);
        row("Label3", "gpbOutput", 23, 156);
        row("edtOutputDir", "gpbOutput", 88, 154, 185, 19);
        row("bbtnBrowse", "gpbOutput", 277, 151, 65, 23);
        row("labProcessing", "panProgress", 16, 17, 337, 13);
        row("Label1", "panProgress", 24, 42);
        row("pgbCurrent", "panProgress", 67, 41, 241, 17);
        row("labCurProgress", "panProgress", 312, 41);
        row("Label6", "panProgress", 34, 81);
        row("pgbTotal", "panProgress", 67, 81, 241, 17);
        row("labTotalProgress", "panProgress", 312, 81);
        row("Label8", "panProgress", 20, 116);
        row("labElapsed", "panProgress", 67, 116, 100, 13);
        row("Label9", "panProgress", 200, 116);
        row("labRemaining", "panProgress", 259, 116, 94, 13);
        row("chkPreview", "panProgress", 16, 148, 97, 17);
    }
    void geometry() {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, expected);
        QWidget* widget = Control(name);
        QCOMPARE(widget->parentWidget(), parent.isEmpty() ? form.get() : Control(parent));
        QCOMPARE(widget->pos(), expected.topLeft());
        if (expected.width() >= 0)
            QCOMPARE(widget->size(), expected.size());
    }

    void textsAndHints_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        const auto row = [](const char* name, const char* text, const char* toolTip = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(text)
                                << QString::fromLatin1(toolTip);
        };
        row("labLeft", "00:00:00");
        row("labCurrent", "00:00:00");
        row("Label2", "Source:");
        row("rdbStartEnd", "Split the marked rang out.");
        row("Label4", "Start Time:");
        row("edtStart", "00:00:00");
        row("Label5", "End Time:");
        row("edtEnd", "00:00:00");
        row("rdbEqual", "Split the marked rang to ");
        row("edtSectionQty", "");
        row("cmbSectionMode", "equal sections.");
        row("labLength", "");
        row("Label10", "Output Profile:");
        row("BitBtn1", "Detail");
        row("Label3", "Output Path:");
        row("bbtnBrowse", "Browse");
        row("Label1", "Current:");
        row("labCurProgress", "%");
        row("Label6", "Total:");
        row("Label8", "Elapsed:");
        row("Label9", "Remaining:");
        row("chkPreview", "Preview");
        row("imgPlay", "", "Play");
        row("imgPause", "", "Pause");
        row("imgStop", "", "Stop");
        row("imgSelStart", "", "Set the Start Time");
        row("imgSelEnd", "", "Set the End Time");
        row("imgErase", "", "Remove the selection");
        row("imgLogo", "", "Visit our Company Website");
    }
    void textsAndHints() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QWidget* widget = Control(name);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            shown = edit->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* choice = qobject_cast<QComboBox*>(widget))
            shown = choice->currentText();
        QCOMPARE(shown, text);
        QCOMPARE(widget->toolTip(), toolTip);
    }

    void pauseHint() {
        QCOMPARE(ui.imgPause->Hint(), QStringLiteral("Pause | Resume"));
        QCOMPARE(ui.imgPause->toolTip(), QStringLiteral("Pause"));
    }

    void alignments() {
        QCOMPARE(ui.labLeft->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(ui.labMiddle->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(ui.labRight->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(ui.labCurrent->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    void startState() {
        for (const char* hidden :
             {"VideoWindow", "labStart", "labEnd", "labLength", "panProgress", "imgCancel", "chkPreview"})
            QVERIFY2(Control(hidden)->isHidden(), hidden);
        for (const char* shown : {"imgStart", "Image1", "gpbOutput", "edtSource"})
            QVERIFY2(!Control(shown)->isHidden(), shown);
        QVERIFY(ui.rdbStartEnd->isChecked());
        QVERIFY(!ui.rdbEqual->isChecked());
        QVERIFY(!ui.tmrPreview->isActive());
        QVERIFY(!ui.tmrProcess->isActive());
        QCOMPARE(ui.tmrPreview->interval(), 1000);
        QCOMPARE(ui.tmrProcess->interval(), 1000);
        QCOMPARE(form->Runner().State(), RunState::Idle);
        QVERIFY(!form->Preview()->SourceLoaded());
        QCOMPARE(ui.imgStart->RoundButtonState(), 0);
        QCOMPARE(ui.imgCancel->RoundButtonState(), 0);
        // Start and Cancel share their place, Start on top of the decoration.
        QVERIFY(ui.panRight->children().indexOf(ui.imgStart) >
                ui.panRight->children().indexOf(ui.imgRightBottom));
    }

    void toolbar() {
        const QList<QToolButton*> buttons = {ui.tbtnOpen, ui.tbtnSettings, ui.tbtnAbout, ui.tbtnHelp};
        const QStringList captions = {"Open", "Settings", "About", "Help"};
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        int left = -1;
        for (int i = 0; i < buttons.size(); ++i) {
            QToolButton* button = buttons.at(i);
            QCOMPARE(button->parentWidget(), ui.ToolBar1);
            QCOMPARE(button->text(), captions.at(i));
            QCOMPARE(button->size(), QSize(58, 68));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QCOMPARE(button->iconSize(), QSize(48, 48));
            QVERIFY(button->toolTip().isEmpty());
            QVERIFY2(button->geometry().left() > left, "buttons stand left to right");
            QVERIFY(ui.ToolBar1->rect().contains(button->geometry()));
            left = button->geometry().left();
            const QImage normal = button->icon().pixmap(QSize(48, 48), 1.0, QIcon::Normal).toImage();
            const QImage disabled = button->icon().pixmap(QSize(48, 48), 1.0, QIcon::Disabled).toImage();
            QCOMPARE(normal.convertToFormat(QImage::Format_ARGB32),
                     ui.imlToolbar.at(i).toImage().convertToFormat(QImage::Format_ARGB32));
            QCOMPARE(disabled.convertToFormat(QImage::Format_ARGB32),
                     ui.imlToolbar2.at(i).toImage().convertToFormat(QImage::Format_ARGB32));
        }
        form->hide();
    }

    void imageLists_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSize>("size");
        QTest::newRow("iglButtons") << 0 << 6 << QSize(63, 35);
        QTest::newRow("iglbuttons2") << 1 << 6 << QSize(63, 35);
        QTest::newRow("iglStart") << 2 << 6 << QSize(110, 110);
        QTest::newRow("imlToolbar") << 3 << 4 << QSize(48, 48);
        QTest::newRow("imlToolbar2") << 4 << 4 << QSize(48, 48);
    }
    void imageLists() {
        QFETCH(int, list);
        QFETCH(int, count);
        QFETCH(QSize, size);
        const QList<QPixmap> lists[] = {ui.iglButtons, ui.iglbuttons2, ui.iglStart, ui.imlToolbar,
                                        ui.imlToolbar2};
        const QList<QPixmap>& images = lists[list];
        QCOMPARE(images.size(), count);
        QSet<QByteArray> distinct;
        for (const QPixmap& image : images) {
            QCOMPARE(image.deviceIndependentSize().toSize(), size);
            QVERIFY(image.hasAlphaChannel());
            const QImage pixels = image.toImage();
            distinct.insert(
                QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes()));
        }
        QCOMPARE(distinct.size(), count);
    }

    // Each text must fit its control in the program's own font, or it would be cut off.
    void textsFit_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("next");
        for (const char* pair :
             {"Label2:edtSource", "Label4:edtStart", "Label5:edtEnd", "Label10:cmbProfile",
              "Label3:edtOutputDir", "Label1:pgbCurrent", "Label6:pgbTotal", "Label8:labElapsed",
              "Label9:labRemaining", "rdbStartEnd:", "rdbEqual:", "cmbSectionMode:"})
            QTest::newRow(pair) << QString::fromLatin1(pair).section(':', 0, 0)
                                << QString::fromLatin1(pair).section(':', 1, 1);
    }
    void textsFit() {
        QFETCH(QString, name);
        QFETCH(QString, next);
        QWidget* widget = Control(name);
        int right = widget->parentWidget()->width() - 4;
        if (!next.isEmpty())
            right = Control(next)->x() - 1;
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(radio);
            option.text = radio->text().trimmed();
            const QRect text = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
            const int needed = text.left() + radio->fontMetrics().horizontalAdvance(option.text);
            QVERIFY2(needed <= radio->width(), qPrintable(QString::number(needed)));
            return;
        }
        if (auto* choice = qobject_cast<QComboBox*>(widget)) {
            QStyleOptionComboBox option;
            option.initFrom(choice);
            option.frame = choice->hasFrame();
            const QRect field = choice->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                QStyle::SC_ComboBoxEditField, choice);
            for (int i = 0; i < choice->count(); ++i)
                QVERIFY2(choice->fontMetrics().horizontalAdvance(choice->itemText(i)) <= field.width(),
                         qPrintable(choice->itemText(i)));
            QVERIFY(choice->geometry().right() <= right);
            return;
        }
        const auto* label = qobject_cast<QLabel*>(widget);
        QVERIFY(label);
        const int textRight = label->x() + label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(textRight <= right, qPrintable(QStringLiteral("%1 > %2").arg(textRight).arg(right)));
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
