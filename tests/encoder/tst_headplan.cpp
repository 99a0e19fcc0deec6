#include "cut/cuterror.h"
#include "cut/headplan.h"
#include "cut/streamtime.h"
#include "cut/tailsplit.h"

#include <QtTest>

// How a clip's ends are cut, decided on packet times alone: which frames are re-encoded, where the copy
// begins, and where the last GOP stops being copied.
class TestHeadPlan : public QObject {
    Q_OBJECT
private:
    static constexpr double Frame = 0.04;

    // "0K 2 1 4K" lists packets in file order by the times of their frames, K marking keyframes; each is
    // decoded one tick after the one before.
    static std::vector<Cut::PacketTimes> Packets(const QString& text) {
        std::vector<Cut::PacketTimes> packets;
        for (const QString& word : text.split(' ', Qt::SkipEmptyParts))
            packets.push_back({QString(word).remove('K').toLongLong(), std::int64_t(packets.size()) - 1,
                               word.endsWith('K')});
        return packets;
    }

    static Cut::HeadRequest Request(qint64 start, qint64 end, bool exact) {
        Cut::HeadRequest request;
        request.startTicks = request.startLimit = start;
        request.endLimit = end < 0 ? Cut::StreamTime::OpenTicks : end;
        request.start = double(start) * Frame;
        request.exact = exact;
        request.seconds = [](std::int64_t ticks) { return double(ticks) * Frame; };
        return request;
    }

private slots:
    void PlansTheHead_data() {
        QTest::addColumn<QString>("packets");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end"); // -1: to the end of the file
        QTest::addColumn<bool>("exact");
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("clipStart");
        QTest::addColumn<int>("decodeFrom");
        QTest::addColumn<int>("copyFrom");
        QTest::addColumn<int>("decodeTo");
        QTest::addColumn<qint64>("encodeTo");
        using Kind = Cut::HeadPlan::Kind;
        const QString gops = QStringLiteral("0K 1 2 3 4K 5 6 7");
        QTest::newRow("on a keyframe: copied")
            << gops << 4LL << -1LL << true << int(Kind::Copy) << 4LL << 4 << 4 << 4 << 0LL;
        QTest::newRow("inside a GOP: re-encoded up to the next keyframe")
            << gops << 2LL << -1LL << true << int(Kind::EncodeThenCopy) << 2LL << 0 << 4 << 5 << 4LL;
        QTest::newRow("an open GOP's leading frames join the head")
            << "0K 2 1 4K 3 6 5" << 1LL << -1LL << true << int(Kind::EncodeThenCopy) << 1LL << 0 << 3 << 5
            << 4LL;
        QTest::newRow("no keyframe inside: all re-encoded")
            << "0K 1 2 3 4 5 6 7 8K" << 2LL << 5LL << true << int(Kind::EncodeAll) << 2LL << 0 << 9 << 9
            << 5LL;
        QTest::newRow("before the first frame: the time up to it is kept")
            << "2K 3 4" << 0LL << -1LL << true << int(Kind::Copy) << 0LL << 0 << 0 << 0 << 0LL;
        QTest::newRow("at keyframes, the nearer one after")
            << gops << 3LL << -1LL << false << int(Kind::Copy) << 4LL << 4 << 4 << 4 << 0LL;
        QTest::newRow("at keyframes, the one before on a tie")
            << gops << 2LL << -1LL << false << int(Kind::Copy) << 0LL << 0 << 0 << 0 << 0LL;
        QTest::newRow("no keyframe: no video")
            << "1 2 3" << 1LL << -1LL << true << int(Kind::Nothing) << 0LL << 0 << 0 << 0 << 0LL;
    }
    void PlansTheHead() {
        QFETCH(QString, packets);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(bool, exact);
        QFETCH(int, kind);
        const Cut::HeadPlan plan = Cut::PlanHead(Packets(packets), Request(start, end, exact));
        QCOMPARE(int(plan.kind), kind);
        if (plan.kind == Cut::HeadPlan::Kind::Nothing)
            return;
        QTEST(qint64(plan.clipStart), "clipStart");
        QTEST(int(plan.decodeFrom), "decodeFrom");
        QTEST(int(plan.copyFrom), "copyFrom");
        QTEST(int(plan.decodeTo), "decodeTo");
        if (plan.kind != Cut::HeadPlan::Kind::Copy)
            QTEST(qint64(plan.encodeTo), "encodeTo");
        QCOMPARE(plan.moved, !exact && plan.clipStart != start);
    }

    // A clip that can hold no frame is refused with the reason, before anything is written.
    void RefusesClipsWithoutFrames_data() {
        QTest::addColumn<bool>("exact");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a start after the video's last frame") << true << 8LL << "after the end of the video";
        QTest::newRow("at keyframes, the video's end nearer than the keyframe before")
            << false << 7LL << "move to the same keyframe";
    }
    void RefusesClipsWithoutFrames() {
        QFETCH(bool, exact);
        QFETCH(qint64, start);
        QFETCH(QString, reason);
        Cut::HeadRequest request = Request(start, -1, exact);
        request.reachedEnd = true;
        request.duration = 8 * Frame;
        try {
            Cut::PlanHead(Packets("0K 1 2 3 4 5 6 7"), request);
            QFAIL("no refusal");
        } catch (const Cut::CutError& error) {
            QVERIFY2(QString::fromStdString(error.message).contains(reason), error.message.c_str());
        }
    }

    void SplitsTheTail_data() {
        QTest::addColumn<QString>("frames"); // times of the last GOP's frames in file order
        QTest::addColumn<qint64>("end");
        QTest::addColumn<int>("copied");
        QTest::addColumn<qint64>("encodeFrom");
        QTest::newRow("no reordering, to the GOP's end: all copied") << "0 1 2 3" << 4LL << 4 << 4LL;
        QTest::newRow("no reordering, inside: the frames before the end copied")
            << "0 1 2 3" << 2LL << 2 << 2LL;
        QTest::newRow("a B-frame that refers past the end is re-encoded")
            << "0 3 1 2 6 4 5" << 5LL << 4 << 4LL;
        QTest::newRow("an open reference at once: all re-encoded") << "0 4 1 2 3" << 3LL << 1 << 1LL;
    }
    void SplitsTheTail() {
        QFETCH(QString, frames);
        QFETCH(qint64, end);
        std::vector<std::int64_t> times;
        for (const QString& word : frames.split(' '))
            times.push_back(word.toLongLong());
        const Cut::TailSplit split = Cut::SplitTail(times, end);
        QTEST(int(split.copied), "copied");
        QTEST(qint64(split.encodeFrom), "encodeFrom");
    }
};

QTEST_GUILESS_MAIN(TestHeadPlan)
#include "tst_headplan.moc"
