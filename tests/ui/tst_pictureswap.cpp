#include "mainformlookup.h"
#include "testdoubles.h"
#include "ui/mainform.h"
#include "ui/roundbutton.h"
#include "ui/roundimage.h"
#include "widgets/imagebutton.h"
#include "windowdoubles.h"

#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

bool Shows(const QLabel* label, const QPixmap& picture) {
    return label->pixmap().toImage() == picture.toImage();
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestPictureSwap : public QObject {
    Q_OBJECT

    MainFormDialogsDouble dialogs;
    std::unique_ptr<TMainForm> form;
    MainFormControls ui;

    ImageButton* Button(int index) const {
        const QList<ImageButton*> buttons = {ui.imgPlay,     ui.imgPause,  ui.imgStop,
                                             ui.imgSelStart, ui.imgSelEnd, ui.imgErase};
        return buttons.at(index);
    }

    // Plays a script of mouse events on a round image and checks the state after each: "m x y" moves,
    // "M x y" moves with the left button held, "p x y" / "P x y" press the left / right button, "r x y" /
    // "R x y" release it, "s" moves over the surrounding panel.
    void Play(RoundImage* image, const QString& script, const QString& states, int clicks) {
        QSignalSpy clicked(image, &RoundImage::clicked);
        const QStringList steps = script.split(';');
        QCOMPARE(steps.size(), states.size());
        for (int i = 0; i < steps.size(); ++i) {
            const QStringList parts = steps.at(i).trimmed().split(' ');
            const QChar kind = parts.at(0).at(0);
            const QPoint at = parts.size() == 3 ? QPoint(parts.at(1).toInt(), parts.at(2).toInt()) : QPoint();
            const Qt::MouseButton button = kind.isUpper() ? Qt::RightButton : Qt::LeftButton;
            switch (kind.toLower().unicode()) {
            case 'm':
                SendMouse(image, QEvent::MouseMove, at, Qt::NoButton,
                          kind == 'M' ? Qt::LeftButton : Qt::NoButton);
                break;
            case 'p':
                SendMouse(image, QEvent::MouseButtonPress, at, button, button);
                break;
            case 'r':
                SendMouse(image, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
                break;
            case 's':
                SendMouse(ui.panRight, QEvent::MouseMove, QPoint(300, 200), Qt::NoButton, Qt::NoButton);
                break;
            }
            const int expected = states.at(i).digitValue();
            QVERIFY2(image->RoundButtonState() == expected, qPrintable(QStringLiteral("step %1").arg(i)));
            QVERIFY2(Shows(image, image->Picture(expected)),
                     qPrintable(QStringLiteral("picture at step %1").arg(i)));
        }
        QCOMPARE(clicked.count(), clicks);
    }

private slots:
    void init() {
        // Clicks on the Start image here must never pass its hit test, which reads the real pointer.
        QCursor::setPos(0, 0);
        form = std::make_unique<TMainForm>(dialogs);
        ui = FindMainControls(form.get());
        form->move(100, 50);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void imageButtonPictures_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("up");
        QTest::newRow("imgPlay") << 0 << 0 << 3 << 0;
        QTest::newRow("imgPause") << 1 << 0 << 4 << 1;
        QTest::newRow("imgStop") << 2 << 0 << 5 << 2;
        QTest::newRow("imgSelStart") << 3 << 1 << 3 << 0;
        QTest::newRow("imgSelEnd") << 4 << 1 << 4 << 1;
        QTest::newRow("imgErase") << 5 << 1 << 5 << 2;
    }
    void imageButtonPictures() {
        QFETCH(int, index);
        QFETCH(int, list);
        QFETCH(int, down);
        QFETCH(int, up);
        const QList<QPixmap>& images = list == 0 ? ui.iglButtons : ui.iglbuttons2;
        ImageButton* button = Button(index);
        QVERIFY(Shows(button, images.at(up)));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 17));
        QVERIFY(Shows(button, images.at(down)));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 17));
        QVERIFY(Shows(button, images.at(up)));
    }

    // Which releases click, and that the click comes while the down picture still shows.
    void imageButtonClick_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");
        QTest::newRow("left inside") << int(Qt::LeftButton) << QPoint(30, 17) << 1;
        QTest::newRow("left outside") << int(Qt::LeftButton) << QPoint(80, 17) << 0;
        QTest::newRow("left above") << int(Qt::LeftButton) << QPoint(30, -3) << 0;
        QTest::newRow("right inside") << int(Qt::RightButton) << QPoint(30, 17) << 0;
        QTest::newRow("middle inside") << int(Qt::MiddleButton) << QPoint(30, 17) << 0;
    }
    void imageButtonClick() {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);
        ImageButton* image = ui.imgStop;
        int seen = 0;
        bool downAtClick = false;
        connect(image, &ImageButton::clicked, this, [&] {
            ++seen;
            downAtClick = image->ShowsDownPicture();
        });
        const auto mouseButton = Qt::MouseButton(button);
        SendMouse(image, QEvent::MouseButtonPress, QPoint(30, 17), mouseButton, mouseButton);
        QVERIFY(image->ShowsDownPicture());
        SendMouse(image, QEvent::MouseButtonRelease, releaseAt, mouseButton, Qt::NoButton);
        QVERIFY(!image->ShowsDownPicture());
        QVERIFY(Shows(image, ui.iglButtons.at(2)));
        QCOMPARE(seen, clicks);
        if (clicks)
            QVERIFY(downAtClick);
    }

    void disabledImageButtonKeepsItsPicture() {
        ui.imgPlay->setEnabled(false);
        QSignalSpy clicked(ui.imgPlay, &ImageButton::clicked);
        QTest::mouseClick(ui.imgPlay, Qt::LeftButton, {}, QPoint(30, 17));
        QVERIFY(Shows(ui.imgPlay, ui.iglButtons.at(0)));
        QCOMPARE(clicked.count(), 0);
    }

    void circle_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("inside");
        QTest::newRow("centre") << QPoint(55, 55) << QSize(110, 110) << true;
        QTest::newRow("48 right") << QPoint(103, 55) << QSize(110, 110) << true;
        QTest::newRow("49 right") << QPoint(104, 55) << QSize(110, 110) << false;
        QTest::newRow("48 up") << QPoint(55, 7) << QSize(110, 110) << true;
        QTest::newRow("49 up") << QPoint(55, 6) << QSize(110, 110) << false;
        QTest::newRow("diagonal 34,34") << QPoint(89, 89) << QSize(110, 110) << true;
        QTest::newRow("diagonal 35,35") << QPoint(90, 90) << QSize(110, 110) << false;
        QTest::newRow("corner") << QPoint(0, 0) << QSize(110, 110) << false;
        // The centre of an odd size is found by whole-number halving: 55 for 111.
        QTest::newRow("odd size, 48 right") << QPoint(103, 55) << QSize(111, 111) << true;
        QTest::newRow("odd size, 49 right") << QPoint(104, 55) << QSize(111, 111) << false;
        QTest::newRow("far away") << QPoint(2000000000, -2000000000) << QSize(110, 110) << false;
    }
    void circle() {
        QFETCH(QPoint, point);
        QFETCH(QSize, size);
        QFETCH(bool, inside);
        QCOMPARE(RoundButton::InsideCircle(point.x(), point.y(), size.width(), size.height()), inside);
    }

    void roundStates_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("states");
        QTest::addColumn<int>("clicks");
        QTest::newRow("hover in and out") << "m 55 55; m 60 60; m 2 2; m 3 3"
                                          << "1100" << 0;
        QTest::newRow("edge of the circle") << "m 103 55; m 104 55; m 103 55"
                                            << "101" << 0;
        QTest::newRow("press outside the circle") << "m 2 2; p 2 2; r 2 2; m 3 3"
                                                  << "0210" << 1;
        QTest::newRow("held out and back in") << "m 55 55; p 55 55; M 55 3; M 55 20; r 55 20"
                                              << "12011" << 1;
        QTest::newRow("pressed stays pressed inside") << "p 55 55; M 60 60"
                                                      << "22" << 0;
        QTest::newRow("right button") << "P 55 55; R 55 55"
                                      << "21" << 0;
        QTest::newRow("release outside the square") << "p 55 55; M 200 55; r 200 55; m 55 55"
                                                    << "2011" << 0;
        QTest::newRow("surroundings") << "m 55 55; s; p 55 55; s; s"
                                      << "10200" << 0;
    }
    void roundStates() {
        QFETCH(QString, script);
        QFETCH(QString, states);
        QFETCH(int, clicks);
        Play(ui.imgStart, script, states, clicks);
    }

    void cancelImage() {
        ui.imgStart->hide();
        ui.imgCancel->show();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ui.imgCancel->Picture(i).toImage(), ui.iglStart.at(3 + i).toImage());
        QCOMPARE(ui.imgStart->Picture(0).toImage(), ui.iglStart.at(0).toImage());
        Play(ui.imgCancel, "m 55 55; p 1 1; r 1 1; m 1 1", "1210", 1);
    }

    void surroundingsReset_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("spot");
        QTest::newRow("panLeft") << "panLeft" << QPoint(395, 300);
        QTest::newRow("imgScreen") << "imgScreen" << QPoint(5, 5);
        QTest::newRow("panRight") << "panRight" << QPoint(20, 350);
        QTest::newRow("imgRightBottom") << "imgRightBottom" << QPoint(200, 5);
        QTest::newRow("gpbOutput") << "gpbOutput" << QPoint(5, 100);
        QTest::newRow("panProgress") << "panProgress" << QPoint(5, 200);
    }
    void surroundingsReset() {
        QFETCH(QString, name);
        QFETCH(QPoint, spot);
        const QHash<QString, QWidget*> targets = {{"panLeft", ui.panLeft},
                                                  {"imgScreen", ui.imgScreen},
                                                  {"panRight", ui.panRight},
                                                  {"gpbOutput", ui.gpbOutput},
                                                  {"imgRightBottom", ui.imgRightBottom},
                                                  {"panProgress", ui.panProgress}};
        QWidget* target = targets.value(name);
        QVERIFY(target);
        target->show();
        SendMouse(ui.imgStart, QEvent::MouseMove, QPoint(55, 55), Qt::NoButton, Qt::NoButton);
        QCOMPARE(ui.imgStart->RoundButtonState(), 1);
        SendMouse(target, QEvent::MouseMove, spot, Qt::NoButton, Qt::NoButton);
        QCOMPARE(ui.imgStart->RoundButtonState(), 0);
        QVERIFY(Shows(ui.imgStart, ui.iglStart.at(0)));
    }

    void startHit_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("hit");
        // The window's outer corner at (100, 50): the circle's centre lies at 100 + 399 + 54 + 4 + 55 = 612,
        // 50 + 0 + 297 + 30 + 55 = 432 on the screen.
        QTest::newRow("centre") << QPoint(612, 432) << true;
        QTest::newRow("48 right") << QPoint(660, 432) << true;
        QTest::newRow("49 right") << QPoint(661, 432) << false;
        QTest::newRow("48 down") << QPoint(612, 480) << true;
        QTest::newRow("49 down") << QPoint(612, 481) << false;
        QTest::newRow("28,39 away") << QPoint(640, 471) << true;
        QTest::newRow("30,40 away") << QPoint(642, 472) << false;
    }
    void startHit() {
        QFETCH(QPoint, pointer);
        QFETCH(bool, hit);
        QCOMPARE(RoundButton::StartHit(pointer, QPoint(100, 50), QPoint(399, 0), QRect(54, 297, 110, 110)),
                 hit);
    }

    // The window decides from its own outer position with the fixed allowances, not from the frame it has.
    void startHitOfTheWindow() {
        const QPoint outer = form->frameGeometry().topLeft();
        const QPoint centre = outer + QPoint(399 + 54 + 4 + 55, 297 + 30 + 55);
        QVERIFY(form->StartHitAt(centre));
        QVERIFY(!form->StartHitAt(centre + QPoint(0, 49)));
        form->move(form->pos() + QPoint(40, 20));
        QTRY_COMPARE(form->frameGeometry().topLeft(), outer + QPoint(40, 20));
        QVERIFY(!form->StartHitAt(centre + QPoint(0, 48)));
        QVERIFY(form->StartHitAt(centre + QPoint(40, 20 + 48)));
    }
};

QTEST_MAIN(TestPictureSwap)
#include "tst_pictureswap.moc"
