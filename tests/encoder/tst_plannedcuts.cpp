#include "seekpoint.h"
#include "testmedia.h"

#include <QtTest>

using EncoderFrontEnd::ClipRequest;
using EncoderFrontEnd::ExactCut;

Q_DECLARE_METATYPE(QStringList)

// Many cuts of one source planned on one opening of it come out as each planned on its own: what the
// reading for one cut leaves behind (the demuxer's index of keyframes seen) must not move another.
class TestPlannedCuts : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;

    static QString Describe(const std::optional<ExactCut>& cut) {
        if (!cut)
            return QStringLiteral("none");
        return QStringLiteral("seek %1, start %2, length %3, own times %4")
            .arg(cut->inputSeek ? QString::number(*cut->inputSeek) : QStringLiteral("none"))
            .arg(cut->outputStart)
            .arg(cut->outputLength)
            .arg(cut->ownFrameTimes);
    }

private slots:
    void togetherAsAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("MP4, H.264 with B-frames")
            << "a.mp4" << QStringList{"-c:v", "libx264", "-bf", "3", "-g", "40", "-c:a", "aac"};
        QTest::newRow("MPEG-TS, H.264")
            << "b.ts" << QStringList{"-c:v", "libx264", "-bf", "2", "-g", "30", "-c:a", "mp2"};
        QTest::newRow("program stream, MPEG-2")
            << "c.mpg" << QStringList{"-c:v", "mpeg2video", "-g", "12", "-c:a", "mp2"};
        QTest::newRow("AVI, MPEG-4") << "d.avi" << QStringList{"-c:v", "mpeg4", "-g", "25", "-c:a", "mp3"};
        QTest::newRow("Matroska, H.264")
            << "e.mkv" << QStringList{"-c:v", "libx264", "-g", "50", "-c:a", "libvorbis"};
    }
    void togetherAsAlone() {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        const QString source = folder.filePath(name);
        QString error;
        QVERIFY2(TestMedia::MakeVideo(source, 10, options, &error, QStringLiteral("160x120")),
                 qPrintable(error));

        // Inside groups of pictures, off the frame grid, on a frame, and one running past the end.
        std::vector<ClipRequest> requests;
        for (const double start : {0.0, 1.3, 2.72, 4.04, 6.5, 8.96}) {
            ClipRequest request;
            request.source = source.toStdString();
            request.start = start;
            request.length = 1.5;
            requests.push_back(request);
        }
        bool opened = false;
        const auto together =
            EncoderFrontEnd::PlanExactCuts(requests, [&](const AVFormatContext&) { opened = true; });
        QVERIFY(opened);
        std::vector<ClipRequest> reversed(requests.rbegin(), requests.rend());
        const auto backwards = EncoderFrontEnd::PlanExactCuts(reversed);
        QCOMPARE(together.size(), requests.size());
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const QString alone = Describe(EncoderFrontEnd::PlanExactCut(requests[i]));
            QVERIFY2(together[i], qPrintable(QStringLiteral("no cut at %1 s").arg(requests[i].start)));
            QCOMPARE(Describe(together[i]), alone);
            QCOMPARE(Describe(backwards[requests.size() - 1 - i]), alone);
        }
    }

    void unreadableSourcePlansNothing() {
        const QString path = folder.filePath(QStringLiteral("notes.mp4"));
        QFile notes(path);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a video\n");
        notes.close();
        ClipRequest request;
        request.source = path.toStdString();
        request.length = 1;
        bool opened = false;
        const auto cuts = EncoderFrontEnd::PlanExactCuts({request, request},
                                                         [&](const AVFormatContext&) { opened = true; });
        QVERIFY(!opened);
        QCOMPARE(cuts.size(), std::size_t(2));
        QVERIFY(!cuts[0] && !cuts[1]);
    }
};

QTEST_GUILESS_MAIN(TestPlannedCuts)
#include "tst_plannedcuts.moc"
