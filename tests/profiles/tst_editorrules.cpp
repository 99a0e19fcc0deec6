#include "app/apperror.h"
#include "profiles/celllook.h"
#include "profiles/listheights.h"
#include "profiles/valuelistmodel.h"
#include "profiles/videosize.h"

#include <QtTest>

using Background = CellLook::Background;
using Text = CellLook::Text;

Q_DECLARE_METATYPE(CellLook::Background)
Q_DECLARE_METATYPE(CellLook::Text)

namespace {

// Video Codec, then Video Size holding the given value.
void FillVideo(ValueListModel& video, const QString& size) {
    video.AppendRow(QStringLiteral("Video Codec"), QStringLiteral("XviD"));
    video.AppendRow(QStringLiteral("Video Size"), size);
}

} // namespace

// The profile editor's rules that need no window: cell colours, list heights and the video size.
class TestEditorRules : public QObject {
    Q_OBJECT
private slots:
    void cellLook_data() {
        QTest::addColumn<bool>("keyColumn");
        QTest::addColumn<bool>("currentRow");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("pickList");
        QTest::addColumn<Background>("background");
        QTest::addColumn<Text>("text");
        QTest::newRow("key, other row")
            << true << false << true << false << false << Background::Fixed << Text::FontColour;
        QTest::newRow("key, current row, focused")
            << true << true << true << false << false << Background::Marked << Text::FontColour;
        QTest::newRow("key, current row, not focused")
            << true << true << false << false << false << Background::Window << Text::Black;
        QTest::newRow("key of a read-only row stays usual")
            << true << false << false << true << false << Background::Fixed << Text::FontColour;
        QTest::newRow("free value") << false << false << true << false << false << Background::Window
                                    << Text::FontColour;
        QTest::newRow("read-only free value is silver")
            << false << false << false << true << false << Background::Window << Text::Silver;
        QTest::newRow("pick-list value is not silver")
            << false << false << false << true << true << Background::Window << Text::FontColour;
        QTest::newRow("current value black on the window, not selected")
            << false << true << true << false << true << Background::Window << Text::Black;
        QTest::newRow("current read-only value stays silver")
            << false << true << true << true << false << Background::Window << Text::Silver;
    }
    void cellLook() {
        QFETCH(bool, keyColumn);
        QFETCH(bool, currentRow);
        QFETCH(bool, focused);
        QFETCH(bool, readOnly);
        QFETCH(bool, pickList);
        QFETCH(Background, background);
        QFETCH(Text, text);
        const CellLook look = CellLook::For({keyColumn, currentRow, focused, readOnly, pickList});
        QCOMPARE(look.background, background);
        QCOMPARE(look.text, text);
    }

    void groupButtons_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("newCaption");
        QTest::addColumn<int>("newHeight");
        QTest::newRow("open group closes") << "-" << 6 << true << "+" << 1;
        QTest::newRow("closed group opens") << "+" << 6 << true << "-" << 109;
        QTest::newRow("an empty list counts one row") << "+" << 0 << true << "-" << 19;
        QTest::newRow("other caption does nothing") << "x" << 6 << false << "" << 0;
    }
    void groupButtons() {
        QFETCH(QString, caption);
        QFETCH(int, rows);
        QFETCH(bool, changed);
        QFETCH(QString, newCaption);
        QFETCH(int, newHeight);
        QString resultCaption;
        int resultHeight = 0;
        QCOMPARE(ListHeights::Toggle(caption, rows, resultCaption, resultHeight), changed);
        QCOMPARE(resultCaption, newCaption);
        QCOMPARE(resultHeight, newHeight);
    }

    void loadedHeights() {
        QCOMPARE(ListHeights::Loaded(6), 108);
        QCOMPARE(ListHeights::Loaded(2), 36);
        QCOMPARE(ListHeights::Loaded(0), 18);
    }

    void wantsCustomSize_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<bool>("wanted");
        QTest::newRow("custom size on its row") << "Custom Size" << 1 << true;
        QTest::newRow("another row is current") << "Custom Size" << 0 << false;
        QTest::newRow("no current row") << "Custom Size" << -1 << false;
        QTest::newRow("row past the end") << "Custom Size" << 2 << false;
        QTest::newRow("a set size") << "640x480" << 1 << false;
        QTest::newRow("other case is no choice") << "custom size" << 1 << false;
    }
    void wantsCustomSize() {
        QFETCH(QString, size);
        QFETCH(int, currentRow);
        QFETCH(bool, wanted);
        ValueListModel video;
        FillVideo(video, size);
        QCOMPARE(VideoSize::WantsCustomSize(video, currentRow), wanted);
    }

    void standingCustomSizeFallsBack_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("after");
        QTest::newRow("custom size") << "Custom Size"
                                     << "Original Size";
        QTest::newRow("set size stays") << "640x480"
                                        << "640x480";
        QTest::newRow("choice stays") << "320x240"
                                      << "320x240";
    }
    void standingCustomSizeFallsBack() {
        QFETCH(QString, size);
        QFETCH(QString, after);
        ValueListModel video;
        FillVideo(video, size);
        VideoSize::DropStandingCustomSize(video);
        QCOMPARE(video.ValueOf(QStringLiteral("Video Size")), after);
    }

    void saveSeesOriginalSize() {
        ValueListModel video;
        FillVideo(video, QStringLiteral("640x480"));
        QString seen;
        VideoSize::WithOriginalVideoSize(video, [&] { seen = video.ValueOf(QStringLiteral("Video Size")); });
        QCOMPARE(seen, QStringLiteral("Original Size"));
        QCOMPARE(video.ValueOf(QStringLiteral("Video Size")), QStringLiteral("640x480"));
    }

    void failedSaveKeepsTheSize() {
        ValueListModel video;
        FillVideo(video, QStringLiteral("640x480"));
        QVERIFY_THROWS_EXCEPTION(AppError, VideoSize::WithOriginalVideoSize(video, [] {
                                     throw AppError(QStringLiteral("Unable to write to x"));
                                 }));
        QCOMPARE(video.ValueOf(QStringLiteral("Video Size")), QStringLiteral("640x480"));
    }

    void withoutSizeRowNothingChanges() {
        ValueListModel video;
        video.AppendRow(QStringLiteral("Video Codec"), QStringLiteral("XviD"));
        QSignalSpy changes(&video, &ValueListModel::dataChanged);
        bool saved = false;
        VideoSize::WithOriginalVideoSize(video, [&] { saved = true; });
        QVERIFY(saved);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(TestEditorRules)
#include "tst_editorrules.moc"
