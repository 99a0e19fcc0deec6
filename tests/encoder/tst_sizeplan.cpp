#include "contract/cliprequest.h"
#include "cut/clipcutter.h"
#include "cut/sourcereader.h"
#include "size/sizeplan.h"
#include "testmedia.h"

#include <QTemporaryDir>
#include <QtTest>

// Where a clip of at most a given size stops, decided on packet sizes alone, which streams' packets count,
// and how the runner's size limit travels in the clip's arguments.
class TestSizePlan : public QObject {
    Q_OBJECT
private:
    static constexpr double Frame = 0.04;

    // "K1000 100 a300" lists video frames in the order shown, K marking keyframes, with their bytes; "a300"
    // is an audio packet shown with the frame before it.
    static std::vector<SizePlan::Packet> Packets(const QString& text) {
        std::vector<SizePlan::Packet> packets;
        int frame = 0;
        for (QString word : text.split(' ', Qt::SkipEmptyParts)) {
            const bool audio = word.startsWith('a');
            const bool keyframe = audio || word.startsWith('K');
            const double time = (audio ? frame - 1 : frame++) * Frame;
            packets.push_back({time, word.remove('a').remove('K').toLongLong(), !audio, keyframe});
        }
        return packets;
    }

private slots:
    void Ends_data() {
        QTest::addColumn<QString>("packets");
        QTest::addColumn<QString>(
            "cuts"); // exact, keyframes, or preferred (exact, keyframes where they keep half)
        QTest::addColumn<int>("startFrame");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<int>("stopFrame"); // -1: nothing fits
        const QString gops = QStringLiteral("K1000 100 100 100 K1000 100 100 100 K1000 100");
        QTest::newRow("exact: a frame that just fits is kept") << gops << "exact" << 0 << 1300LL << 4;
        QTest::newRow("keyframes: the last keyframe that fits") << gops << "keyframes" << 0 << 2350LL << 4;
        QTest::newRow("keyframes: from the keyframe nearest the start")
            << gops << "keyframes" << 3 << 1350LL << 8;
        QTest::newRow("a single frame too large") << gops << "exact" << 0 << 999LL << -1;
        QTest::newRow("keyframes: one stretch too large") << gops << "keyframes" << 0 << 1299LL << -1;
        // The first picture of a cut inside a GOP is made anew, as large as a keyframe.
        QTest::newRow("exact, inside a GOP: the new picture counts") << gops << "exact" << 2 << 1250LL << 4;
        QTest::newRow("audio counts with the frames") << "K1000 a300 100 a300 100 a300 K1000"
                                                      << "exact" << 0 << 1500LL << 1;
        // Any frame would reach frame 6; the keyframe at 4 keeps more than half of that.
        QTest::newRow("preferred: a keyframe keeping half") << gops << "preferred" << 0 << 2450LL << 4;
        QTest::newRow("preferred: a keyframe keeping less") << "K1000 100 K1000 100 100 100 100 100 100 100"
                                                            << "preferred" << 0 << 2700LL << 9;
    }
    void Ends() {
        QFETCH(QString, packets);
        QFETCH(QString, cuts);
        QFETCH(int, startFrame);
        QFETCH(qint64, maxBytes);
        QFETCH(int, stopFrame);
        const auto planned = Packets(packets);
        const bool keyframes = cuts == QLatin1String("keyframes");
        const SizePlan::Request request{startFrame * Frame,
                                        double(planned.size() - packets.count('a')) * Frame, maxBytes,
                                        keyframes, keyframes};
        const auto end = cuts == QLatin1String("preferred")
                             ? SizePlan::PreferredEnd(planned, request, SizePlan::Overhead{})
                             : SizePlan::LatestEnd(planned, request, SizePlan::Overhead{});
        QCOMPARE(end.has_value(), stopFrame >= 0);
        if (end)
            QVERIFY2(qAbs(*end - stopFrame * Frame) < 1e-9, qPrintable(QString::number(*end / Frame)));
    }

    // Frames stored before they are shown (B-frames) count by the time they are shown.
    void ShownOrderCounts() {
        auto packets = Packets(QStringLiteral("K1000 100 100 100 K1000"));
        std::swap(packets[1], packets[3]);
        const SizePlan::Request request{0, 5 * Frame, 1200, false, false};
        QVERIFY(qAbs(*SizePlan::LatestEnd(packets, request, SizePlan::Overhead{}) - 3 * Frame) < 1e-9);
    }

    // The plan counts the streams the cut writes and no others: the video the cuts fall on but not a
    // second one, and the sound and subtitles asked for where the clip's container holds them.
    void CountsTheStreamsTheCutCopies_data() {
        QTest::addColumn<QString>("asked"); // v, a, s: video, sound, subtitles
        QTest::addColumn<QString>("muxer");
        QTest::addColumn<QString>("copied"); // per stream: video, second video, sound, subtitles
        QTest::newRow("all into Matroska") << "vas"
                                           << "matroska"
                                           << "1011";
        QTest::newRow("no sound") << "vs"
                                  << "matroska"
                                  << "1001";
        QTest::newRow("no video") << "as"
                                  << "matroska"
                                  << "0011";
        QTest::newRow("MP4 holds no SubRip subtitles") << "vas"
                                                       << "mp4"
                                                       << "1010";
    }
    void CountsTheStreamsTheCutCopies() {
        QFETCH(QString, asked);
        QFETCH(QString, muxer);
        QFETCH(QString, copied);
        QTemporaryDir dir;
        const QString subtitles = dir.filePath(QStringLiteral("a.srt"));
        QFile srt(subtitles);
        QVERIFY(srt.open(QIODevice::WriteOnly));
        srt.write("1\n00:00:00,000 --> 00:00:00,500\nHello\n");
        srt.close();
        const QString source = dir.filePath(QStringLiteral("a.mkv"));
        int code = 0;
        const QString made = TestMedia::RunMerged(QStringLiteral("ffmpeg"), {"-v",   "error",
                                                                             "-f",   "lavfi",
                                                                             "-i",   "testsrc2=d=1:s=64x48",
                                                                             "-f",   "lavfi",
                                                                             "-i",   "testsrc=d=1:s=32x24",
                                                                             "-f",   "lavfi",
                                                                             "-i",   "sine=d=1",
                                                                             "-i",   subtitles,
                                                                             "-map", "0",
                                                                             "-map", "1",
                                                                             "-map", "2",
                                                                             "-map", "3",
                                                                             "-c:v", "mpeg4",
                                                                             "-c:a", "mp2",
                                                                             "-c:s", "srt",
                                                                             source},
                                                  &code);
        QVERIFY2(code == 0, qPrintable(made));
        Cut::CutRequest request;
        request.muxer = muxer.toStdString();
        request.video = asked.contains('v');
        request.audio = asked.contains('a');
        request.subtitles = asked.contains('s');
        QString streams;
        for (const bool stream : Cut::CopiedStreams(request, Cut::SourceReader(source.toStdString())))
            streams += stream ? '1' : '0';
        QCOMPARE(streams, copied);
    }

    // The limit stands after the options and reads back as the request's, never as one of the options;
    // the arguments read back are those written. A size that is not whole bytes is refused.
    void SizeLimitInTheClipArguments_data() {
        QTest::addColumn<QStringList>("tail"); // after "-y -i /in.mp4 -ss 0.0 -t 5.0 -c copy"
        QTest::addColumn<qint64>("maxBytes");  // -1: refused
        QTest::addColumn<int>("options");
        QTest::newRow("before the muxer")
            << QStringList{"-fs", "5000000", "-f", "mp4", "/out.mp4"} << qint64(5000000) << 2;
        QTest::newRow("without a muxer") << QStringList{"-fs", "5000000", "/out.mp4"} << qint64(5000000) << 2;
        QTest::newRow("an output named -fs is no limit") << QStringList{"-fs"} << qint64(0) << 2;
        QTest::newRow("-fs among the options stays one")
            << QStringList{"-fs", "100", "-map", "0", "/out.mp4"} << qint64(0) << 6;
        for (const char* size : {"5M", "-5", "0", "+5", " 5", "", "99999999999999999999"})
            QTest::addRow("refused: \"%s\"", size) << QStringList{"-fs", size, "/out.mp4"} << qint64(-1) << 0;
    }
    void SizeLimitInTheClipArguments() {
        QFETCH(QStringList, tail);
        QFETCH(qint64, maxBytes);
        QFETCH(int, options);
        std::vector<std::string> arguments{"-y", "-i", "/in.mp4", "-ss", "0.0", "-t", "5.0", "-c", "copy"};
        for (const QString& argument : tail)
            arguments.push_back(argument.toStdString());
        const Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
        if (maxBytes < 0) {
            QVERIFY(!parse.request);
            QVERIFY2(parse.problem.find("size limit") != std::string::npos, parse.problem.c_str());
            return;
        }
        QVERIFY2(parse.request, parse.problem.c_str());
        QCOMPARE(parse.request->maxBytes, std::int64_t(maxBytes));
        QCOMPARE(int(parse.request->options.size()), options);
        QVERIFY(Contract::ClipArguments(*parse.request) == arguments);
    }
};

QTEST_GUILESS_MAIN(TestSizePlan)
#include "tst_sizeplan.moc"
