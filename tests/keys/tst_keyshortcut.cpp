#include "preview/keyshortcut.h"

#include <QtTest>

Q_DECLARE_METATYPE(KeyShortcut::Action)

namespace {

using Mods = Qt::KeyboardModifiers;

KeyShortcut::State Loaded(bool focusInText = false) {
    KeyShortcut::State state;
    state.sourceLoaded = true;
    state.focusInText = focusInText;
    return state;
}

} // namespace

class TestKeyShortcut : public QObject {
    Q_OBJECT
private slots:
    // Every key in every state: no source, a source, a run, the focus in a text field.
    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        QTest::addColumn<KeyShortcut::Action>("action");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("withoutSource");
        QTest::addColumn<bool>("inText");

        const auto row = [](const char* name, int key, Mods modifiers, KeyShortcut::Action action,
                            int seconds = 0, bool withoutSource = false, bool inText = false) {
            QTest::newRow(name) << key << modifiers << action << seconds << withoutSource << inText;
        };
        const Mods none = Qt::NoModifier;
        row("Space", Qt::Key_Space, none, KeyShortcut::TogglePlay);
        row("I", Qt::Key_I, none, KeyShortcut::MarkStart);
        row("Shift+I", Qt::Key_I, Qt::ShiftModifier, KeyShortcut::MarkStart);
        row("[", Qt::Key_BracketLeft, none, KeyShortcut::MarkStart);
        row("[ through AltGr", Qt::Key_BracketLeft, Qt::GroupSwitchModifier, KeyShortcut::MarkStart);
        row("O", Qt::Key_O, none, KeyShortcut::MarkEnd);
        row("]", Qt::Key_BracketRight, none, KeyShortcut::MarkEnd);
        row("Left", Qt::Key_Left, none, KeyShortcut::Seek, -1);
        row("Right", Qt::Key_Right, none, KeyShortcut::Seek, 1);
        row("Shift+Left", Qt::Key_Left, Qt::ShiftModifier, KeyShortcut::Seek, -10);
        row("Shift+Right", Qt::Key_Right, Qt::ShiftModifier, KeyShortcut::Seek, 10);
        row("Right on the number block", Qt::Key_Right, Qt::KeypadModifier, KeyShortcut::Seek, 1);
        row("Home", Qt::Key_Home, none, KeyShortcut::SeekToStart);
        row("End", Qt::Key_End, none, KeyShortcut::SeekToEnd);
        row("Delete", Qt::Key_Delete, none, KeyShortcut::Erase);
        // The toolbar's buttons work without a source, and their keys type nothing into a field.
        row("Ctrl+O", Qt::Key_O, Qt::ControlModifier, KeyShortcut::Open, 0, true, true);
        row("F1", Qt::Key_F1, none, KeyShortcut::Help, 0, true, true);

        row("Ctrl+Space", Qt::Key_Space, Qt::ControlModifier, KeyShortcut::None);
        row("Ctrl+I", Qt::Key_I, Qt::ControlModifier, KeyShortcut::None);
        row("Alt+O", Qt::Key_O, Qt::AltModifier, KeyShortcut::None);
        row("Ctrl+Shift+O", Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, KeyShortcut::None);
        row("Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, KeyShortcut::None);
        row("Shift+Home", Qt::Key_Home, Qt::ShiftModifier, KeyShortcut::None);
        row("Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier, KeyShortcut::None);
        row("Shift+F1", Qt::Key_F1, Qt::ShiftModifier, KeyShortcut::None);
        row("Up", Qt::Key_Up, none, KeyShortcut::None);
        row("P", Qt::Key_P, none, KeyShortcut::None);
        row("Return", Qt::Key_Return, none, KeyShortcut::None);
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        QFETCH(KeyShortcut::Action, action);
        QFETCH(int, seconds);
        QFETCH(bool, withoutSource);
        QFETCH(bool, inText);

        const KeyShortcut loaded = KeyShortcut::For(key, modifiers, false, Loaded());
        QCOMPARE(loaded.action, action);
        QCOMPARE(loaded.seekSeconds, seconds);
        QCOMPARE(loaded.Acts(), action != KeyShortcut::None);

        QCOMPARE(KeyShortcut::For(key, modifiers, false, KeyShortcut::State()).action,
                 withoutSource ? action : KeyShortcut::None);
        QCOMPARE(KeyShortcut::For(key, modifiers, false, Loaded(true)).action,
                 inText ? action : KeyShortcut::None);

        KeyShortcut::State running = Loaded();
        running.running = true;
        QCOMPARE(KeyShortcut::For(key, modifiers, false, running).action, KeyShortcut::None);
        running.sourceLoaded = false;
        QCOMPARE(KeyShortcut::For(key, modifiers, false, running).action, KeyShortcut::None);
    }

    // A held key repeats: seeking again is what a person wants, toggling or marking again is not.
    void heldKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        QTest::addColumn<bool>("repeats");
        QTest::newRow("Right") << int(Qt::Key_Right) << Mods(Qt::NoModifier) << true;
        QTest::newRow("Shift+Left") << int(Qt::Key_Left) << Mods(Qt::ShiftModifier) << true;
        QTest::newRow("End") << int(Qt::Key_End) << Mods(Qt::NoModifier) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << Mods(Qt::NoModifier) << false;
        QTest::newRow("I") << int(Qt::Key_I) << Mods(Qt::NoModifier) << false;
        QTest::newRow("]") << int(Qt::Key_BracketRight) << Mods(Qt::NoModifier) << false;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << Mods(Qt::NoModifier) << false;
        QTest::newRow("Ctrl+O") << int(Qt::Key_O) << Mods(Qt::ControlModifier) << false;
        QTest::newRow("F1") << int(Qt::Key_F1) << Mods(Qt::NoModifier) << false;
    }
    void heldKeys() {
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        QFETCH(bool, repeats);
        QVERIFY(KeyShortcut::For(key, modifiers, false, Loaded()).Acts());
        QCOMPARE(KeyShortcut::For(key, modifiers, true, Loaded()).Acts(), repeats);
    }

    void seekTarget_data() {
        QTest::addColumn<qint64>("current");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<qint64>("target");
        QTest::newRow("forward") << qint64(5400) << 1 << qint64(90000) << qint64(6400);
        QTest::newRow("back") << qint64(5400) << -1 << qint64(90000) << qint64(4400);
        QTest::newRow("ten forward") << qint64(5400) << 10 << qint64(90000) << qint64(15400);
        QTest::newRow("back past the start") << qint64(600) << -1 << qint64(90000) << qint64(0);
        QTest::newRow("ten back past the start") << qint64(9999) << -10 << qint64(90000) << qint64(0);
        QTest::newRow("forward past the end") << qint64(89500) << 1 << qint64(90000) << qint64(90000);
        QTest::newRow("ten forward past the end") << qint64(85000) << 10 << qint64(90000) << qint64(90000);
        QTest::newRow("at the end") << qint64(90000) << 1 << qint64(90000) << qint64(90000);
        QTest::newRow("no length") << qint64(0) << 10 << qint64(0) << qint64(0);
        QTest::newRow("long source") << qint64(36000000) << 10 << qint64(72000000) << qint64(36010000);
    }
    void seekTarget() {
        QFETCH(qint64, current);
        QFETCH(int, seconds);
        QFETCH(qint64, duration);
        QFETCH(qint64, target);
        QCOMPARE(KeyShortcut::SeekTargetMs(current, seconds, duration), target);
    }
};

QTEST_APPLESS_MAIN(TestKeyShortcut)
#include "tst_keyshortcut.moc"
