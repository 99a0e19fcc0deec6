#include "formsfixture.h"
#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "profiles/sizeform.h"
#include "split/countdownform.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/aboutform.h"
#include "ui/mainform.h"
#include "ui/skin.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// The text as drawn: a mnemonic's "&" and blanks at the end take no room.
QString Drawn(QString text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// The room a control's caption needs beside what the control draws around it, and the room it has; an
// empty caption needs none.
struct Room {
    int needed = 0;
    int available = 0;
};

Room CaptionRoom(QWidget* control) {
    const QFontMetrics metrics = control->fontMetrics();
    if (auto* box = qobject_cast<QAbstractButton*>(control)) {
        const QString text = Drawn(box->text());
        if (text.isEmpty())
            return {};
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = text;
        if (qobject_cast<QCheckBox*>(box) || qobject_cast<QRadioButton*>(box)) {
            const auto element =
                qobject_cast<QCheckBox*>(box) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
            const QRect contents = box->style()->subElementRect(element, &option, box);
            return {contents.left() + metrics.horizontalAdvance(text), box->width()};
        }
        if (auto* tool = qobject_cast<QToolButton*>(box))
            return {metrics.horizontalAdvance(text), tool->contentsRect().width()};
        const QRect contents = box->style()->subElementRect(QStyle::SE_PushButtonContents, &option, box);
        const int icon = box->icon().isNull() ? 0 : box->iconSize().width() + 4;
        return {icon + metrics.horizontalAdvance(text), contents.width()};
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        return {label.left() + metrics.horizontalAdvance(group->title()), group->width()};
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text().isEmpty() || label->wordWrap())
            return {};
        return {metrics.horizontalAdvance(Drawn(label->text())), label->contentsRect().width()};
    }
    return {};
}

} // namespace

// Every caption of every window shows whole in the program's own font.
class TestCaptions : public QObject, public FormsFixture {
    Q_OBJECT

    std::unique_ptr<PlatformDoubles> doubles;
    std::unique_ptr<TempProgramDir> program;

private slots:
    void initTestCase() {
        Skin::Apply(*qApp);
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        program->CopyShippedProfiles();
        CreateForms({});
        // The countdown's message is set when it is shown, with the longer of its two sentences.
        CountDownForm->MessagePrefix = QStringLiteral("The computer will be turned off within");
        CountDownForm->tmrCountdownTimer();
    }
    void cleanupTestCase() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void captionsFit_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("main") << "MainForm";
        QTest::newRow("settings") << "SettingForm";
        QTest::newRow("countdown") << "CountDownForm";
        QTest::newRow("about") << "AboutForm";
        QTest::newRow("profile editor") << "opSettingForm";
        QTest::newRow("size dialog") << "SizeForm";
    }
    void captionsFit() {
        QFETCH(QString, window);
        const QHash<QString, QWidget*> windows{{"MainForm", MainForm},           {"SettingForm", SettingForm},
                                               {"CountDownForm", CountDownForm}, {"AboutForm", AboutForm},
                                               {"opSettingForm", opSettingForm}, {"SizeForm", SizeForm}};
        QStringList clipped;
        for (QWidget* control : windows.value(window)->findChildren<QWidget*>()) {
            // Controls that the window hides for good (or until they get a text) show nothing.
            if (control->isHidden() || control->window() != windows.value(window))
                continue;
            Room room = CaptionRoom(control);
            // What lies outside the control's parent is cut off too.
            room.available = qMin(room.available, control->parentWidget()->width() - control->x());
            if (room.needed > room.available)
                clipped << QStringLiteral("%1 \"%2\": %3 > %4")
                               .arg(control->objectName(), control->property("text").toString())
                               .arg(room.needed)
                               .arg(room.available);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
