#include "optionstext.h"
#include "split/clipendmark.h"
#include "split/clipprogress.h"
#include "split/encodercommand.h"
#include "split/encoderfailure.h"
#include "split/inputcheck.h"
#include "testmedia.h"

#include <QDir>
#include <QLocale>
#include <QtTest>

Q_DECLARE_METATYPE(SplitFocus)

class TestSplitPlan : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    QString source;
    QString outputDir;

    SplitInputs GoodInputs() const {
        SplitInputs inputs;
        inputs.sourcePath = source;
        inputs.startText = QStringLiteral("00:00:10");
        inputs.endText = QStringLiteral("00:00:40");
        inputs.oneClip = true;
        inputs.profileName = QStringLiteral("MP4");
        inputs.outputDirText = outputDir;
        inputs.sourceDurationMs = 60000;
        return inputs;
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/MP4.apf"), "[Main]\n");
        program->Write(QStringLiteral("Profiles/Settings of the source file..apf"), "[Main]\n");
        source = program->Write(QStringLiteral("talk.avi"), "not really a video");
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void inputChecks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<SplitFocus>("focus");
        const QString badStart = QStringLiteral("Please varify the Start Time you selected.");
        const QString badEnd = QStringLiteral("Please varify the End Time you selected.");
        const QString badSections = QStringLiteral("Please specify a valid section quantity.");
        QTest::newRow("all good") << ""
                                  << ""
                                  << ""
                                  << "" << SplitFocus::Stays;
        QTest::newRow("missing source") << "source"
                                        << "/nonexistent/talk.avi"
                                        << "Please specify a valid input video file."
                                        << "Invalid File" << SplitFocus::Source;
        QTest::newRow("source is a folder") << "source"
                                            << "/tmp"
                                            << "Please specify a valid input video file."
                                            << "Invalid File" << SplitFocus::Source;
        QTest::newRow("start not a time") << "start"
                                          << "10" << badStart << "Invalid Start Time" << SplitFocus::Stays;
        QTest::newRow("start at the duration")
            << "start"
            << "00:01:00" << badStart << "Invalid Start Time" << SplitFocus::Stays;
        QTest::newRow("nothing loaded") << "duration"
                                        << "0" << badStart << "Invalid Start Time" << SplitFocus::Stays;
        QTest::newRow("end not a time") << "end"
                                        << "x" << badEnd << "Invalid End Time" << SplitFocus::Stays;
        QTest::newRow("end zero with start zero")
            << "start+end"
            << "00:00:00" << badEnd << "Invalid End Time" << SplitFocus::Stays;
        QTest::newRow("end equals start") << "end"
                                          << "00:00:10"
                                          << "The End Time should be later than the Start Time."
                                          << "Invalid Time" << SplitFocus::Stays;
        QTest::newRow("end of huge seconds")
            << "end"
            << "00:00:1e300" << badEnd << "Invalid End Time" << SplitFocus::Stays;
        QTest::newRow("end beyond 100 hours")
            << "end"
            << "100:00:01" << badEnd << "Invalid End Time" << SplitFocus::Stays;
        QTest::newRow("start of huge negative seconds")
            << "start"
            << "00:00:-1e300" << badStart << "Invalid Start Time" << SplitFocus::Stays;
        QTest::newRow("end beyond the duration is fine") << "end"
                                                         << "00:05:00"
                                                         << ""
                                                         << "" << SplitFocus::Stays;
        QTest::newRow("sections 3a") << "sections"
                                     << "3a" << badSections << "Invalid Section" << SplitFocus::SectionQty;
        QTest::newRow("sections 0") << "sections"
                                    << "0" << badSections << "Invalid Section" << SplitFocus::SectionQty;
        QTest::newRow("sections -2") << "sections"
                                     << "-2" << badSections << "Invalid Section" << SplitFocus::SectionQty;
        QTest::newRow("sections 3") << "sections"
                                    << "3"
                                    << ""
                                    << "" << SplitFocus::Stays;
        const QString badLength = QStringLiteral("Please specify a valid clip length.");
        for (const char* length : {"x", "0", "-10", "0:00:00", "1e3", "10 s", "", "0:0:1e300"})
            QTest::addRow("every %s", length)
                << "every" << length << badLength << "Invalid Section" << SplitFocus::SectionQty;
        QTest::newRow("every a billionth of a second, too many clips to count")
            << "every"
            << "0.000000001" << badLength << "Invalid Section" << SplitFocus::SectionQty;
        for (const char* length : {"30", "12.5", "0:10:00", "45.0"})
            QTest::addRow("every %s", length) << "every" << length << ""
                                              << "" << SplitFocus::Stays;
        const QString badSize = QStringLiteral("Please specify a valid clip size.");
        for (const char* size : {"x", "0", "0.0000001"})
            QTest::addRow("size %s", size)
                << "size" << size << badSize << "Invalid Section" << SplitFocus::SectionQty;
        QTest::newRow("size 25 from a copy") << "size"
                                             << "25"
                                             << ""
                                             << "" << SplitFocus::Stays;
        QTest::newRow("size 25 from an encoding profile")
            << "size, MP4"
            << "25"
            << "Clips of a chosen size can only be cut with a profile that copies the streams, such as "
               "\"Settings of the source file.\"."
            << "Invalid Profile" << SplitFocus::Profile;
        QTest::newRow("one clip ignores the quantity") << "quantity only"
                                                       << "3a"
                                                       << ""
                                                       << "" << SplitFocus::Stays;
        QTest::newRow("unknown profile") << "profile"
                                         << "Nope"
                                         << "Please select a valid output profile."
                                         << "Invalid Output Path" << SplitFocus::Profile;
        QTest::newRow("missing output folder") << "output"
                                               << "/nonexistent/out"
                                               << "Please specify a valid output path."
                                               << "Invalid Output Path" << SplitFocus::OutputDir;
        QTest::newRow("empty output folder") << "output"
                                             << ""
                                             << "Please specify a valid output path."
                                             << "Invalid Output Path" << SplitFocus::OutputDir;
        // The first failing check decides.
        QTest::newRow("bad source and bad end") << "source+end"
                                                << "/nonexistent/a.avi"
                                                << "Please specify a valid input video file."
                                                << "Invalid File" << SplitFocus::Source;
    }
    void inputChecks() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(SplitFocus, focus);
        SplitInputs inputs = GoodInputs();
        if (field.startsWith(QLatin1String("source")))
            inputs.sourcePath = value;
        if (field == QLatin1String("source+end"))
            inputs.endText = QStringLiteral("bad");
        if (field == QLatin1String("start") || field == QLatin1String("start+end"))
            inputs.startText = value;
        if (field == QLatin1String("end") || field == QLatin1String("start+end"))
            inputs.endText = value;
        if (field == QLatin1String("duration"))
            inputs.sourceDurationMs = value.toLongLong();
        if (field == QLatin1String("sections")) {
            inputs.oneClip = false;
            inputs.sectionQtyText = value;
        }
        if (field == QLatin1String("every")) {
            inputs.oneClip = false;
            inputs.sectionsMode = SectionsMode::Every;
            inputs.sectionQtyText = value;
        }
        if (field.startsWith(QLatin1String("size"))) {
            inputs.oneClip = false;
            inputs.sectionsMode = SectionsMode::Size;
            inputs.sectionQtyText = value;
            inputs.profileName = field.endsWith(QLatin1String("MP4"))
                                     ? QStringLiteral("MP4")
                                     : QStringLiteral("Settings of the source file.");
        }
        if (field == QLatin1String("quantity only"))
            inputs.sectionQtyText = value;
        if (field == QLatin1String("profile"))
            inputs.profileName = value;
        if (field == QLatin1String("output"))
            inputs.outputDirText = value;

        const InputCheck check = CheckSplitInputs(inputs);
        QCOMPARE(check.ok, message.isEmpty());
        QCOMPARE(check.message, message);
        QCOMPARE(check.caption, caption);
        QCOMPARE(check.focus, focus);
    }

    // Clips under a frame are refused unless the rate is unknown; negative: a clip length in milliseconds.
    void sectionsShorterThanAFrame_data() {
        QTest::addColumn<double>("frameRate");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("tooMany");
        QTest::addColumn<int>("fits");
        QTest::newRow("20 s at 25 fps") << 25.0 << "00:00:30" << 1000 << 500;
        QTest::newRow("20 s at NTSC's 29.97 fps") << 30000.0 / 1001 << "00:00:30" << 600 << 599;
        QTest::newRow("range past the end, 00:00:10 to the source's end at 00:01:00")
            << 1.0 << "00:05:00" << 51 << 50;
        QTest::newRow("clips of a length at 25 fps") << 25.0 << "00:00:30" << -30 << -40;
    }
    void sectionsShorterThanAFrame() {
        QFETCH(double, frameRate);
        QFETCH(QString, end);
        QFETCH(int, tooMany);
        QFETCH(int, fits);
        SplitInputs inputs = GoodInputs();
        inputs.endText = end;
        inputs.oneClip = false;
        inputs.sectionsMode = tooMany < 0 ? SectionsMode::Every : SectionsMode::Equal;
        const auto check = [&](int quantity, double rate) {
            inputs.sectionQtyText = QString::number(quantity < 0 ? -quantity / 1000.0 : quantity);
            inputs.sourceFrameRate = rate;
            return CheckSplitInputs(inputs);
        };
        QCOMPARE(check(tooMany, frameRate).focus, SplitFocus::SectionQty);
        QVERIFY(check(fits, frameRate).ok);
        QVERIFY(check(tooMany, 0).ok);
    }

    void plan() {
        SplitInputs inputs = GoodInputs();
        inputs.startText = QStringLiteral("00:00:00");
        inputs.endText = QStringLiteral("00:00:10");
        inputs.oneClip = false;
        inputs.sectionQtyText = QStringLiteral("3");
        const ClipPlan sections = CheckSplitInputs(inputs).plan;
        QCOMPARE(sections.Count(), 3);
        QCOMPARE(sections.ClipStart(2), 10.0 / 3);

        inputs.oneClip = true;
        const ClipPlan one = CheckSplitInputs(inputs).plan;
        QCOMPARE(one.Count(), 1);
        QCOMPARE(one.ClipLength(1), 10.0);
        QCOMPARE(one.ClipStart(1), 0.0);

        // A rest shorter than a frame of the source joins the last clip instead of making one of its own.
        inputs.oneClip = false;
        inputs.sectionsMode = SectionsMode::Every;
        inputs.endText = QStringLiteral("00:00:20.02");
        inputs.sectionQtyText = QStringLiteral("10");
        inputs.sourceFrameRate = 25;
        QCOMPARE(CheckSplitInputs(inputs).plan.Count(), 2);
        inputs.sourceFrameRate = 0;
        QCOMPARE(CheckSplitInputs(inputs).plan.Count(), 3);
    }

    // Clips of a chosen length from the range's start; the rest is a short last clip unless no frame fits.
    void everyPlans_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("every");
        QTest::addColumn<double>("frame");
        QTest::addColumn<QList<double>>("lengths");
        QTest::newRow("35 s in 10 s clips") << 35.0 << 10.0 << 0.04 << QList<double>{10, 10, 10, 5};
        QTest::newRow("an even share") << 30.0 << 10.0 << 0.04 << QList<double>{10, 10, 10};
        QTest::newRow("rest under a frame adds nothing")
            << 30.02 << 10.0 << 0.04 << QList<double>{10, 10, 10.02};
        QTest::newRow("rest of one frame is a clip")
            << 30.04 << 10.0 << 0.04 << QList<double>{10, 10, 10, 0.04};
        QTest::newRow("range shorter than a clip") << 4.0 << 10.0 << 0.04 << QList<double>{4};
        QTest::newRow("tenths that do not add up in binary")
            << 0.3 << 0.1 << 0.0 << QList<double>{0.1, 0.1, 0.1};
    }
    void everyPlans() {
        QFETCH(double, length);
        QFETCH(double, every);
        QFETCH(double, frame);
        QFETCH(QList<double>, lengths);
        const ClipPlan plan = ClipPlan::Every(5, length, every, frame);
        QCOMPARE(plan.Count(), lengths.size());
        double start = 5;
        for (int i = 1; i <= plan.Count(); ++i) {
            QVERIFY(qAbs(plan.ClipStart(i) - start) < 1e-9);
            QVERIFY2(qAbs(plan.ClipLength(i) - lengths.at(i - 1)) < 1e-9, qPrintable(QString::number(i)));
            start += plan.ClipLength(i);
        }
        // The clips tile the range to its end.
        QVERIFY(qAbs(start - (5 + length)) < 1e-9);
    }

    void clipLengthTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds"); // 0: refused
        QTest::newRow("seconds") << "C"
                                 << "30" << 30.0;
        QTest::newRow("a time") << "C"
                                << "0:10:00" << 600.0;
        QTest::newRow("blanks around") << "C"
                                       << " 1:2:3.5 " << 3723.5;
        QTest::newRow("decimal comma") << "de_DE"
                                       << "12,5" << 12.5;
        QTest::newRow("decimal point where the comma is usual") << "de_DE"
                                                                << "9.5" << 9.5;
        QTest::newRow("thousands separator") << "en_US"
                                             << "1,000" << 0.0;
        QTest::newRow("a sign") << "C"
                                << "+5" << 0.0;
        QTest::newRow("beyond 100 hours") << "C"
                                          << "360001" << 0.0;
    }
    void clipLengthTexts() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, seconds);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ParseClipLength(text).value_or(0), seconds);
    }

    // Sizes as typed in the window (megabytes) and on the command line (bytes), with a K, M or G.
    void clipSizeTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("unit");  // the window's megabyte, or the command line's byte
        QTest::addColumn<qint64>("bytes"); // 0: refused
        const struct {
            const char* locale;
            const char* text;
            qint64 unit;
            qint64 bytes;
        } rows[] = {{"C", "25", 1000000, 25000000},
                    {"de_DE", "9,5", 1000000, 9500000},
                    {"C", "4.35", 1000000, 4350000},
                    {"C", "5000000", 1, 5000000},
                    {"C", "1.5G", 1, 1500000000},
                    {"C", "500K", 1000000, 500000},
                    {"C", "5MB", 1, 0},
                    {"C", "2000000G", 1, 0}};
        for (const auto& row : rows)
            QTest::addRow("%s in %s", row.text, row.locale)
                << QString(row.locale) << QString(row.text) << row.unit << row.bytes;
    }
    void clipSizeTexts() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(qint64, unit);
        QFETCH(qint64, bytes);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ParseClipSize(text, unit).value_or(0), bytes);
    }

    // Sections share out the part of the range that the source holds; one clip keeps the end as typed.
    void rangePastTheSourceEnd_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("sections");
        QTest::addColumn<double>("length");
        QTest::newRow("5 sections past the end") << "00:00:40" << 5 << 5.0;
        QTest::newRow("sections within the source") << "00:00:18" << 5 << 3.0;
        QTest::newRow("sections ending at the end") << "00:00:20" << 2 << 5.0;
        QTest::newRow("one clip past the end") << "00:00:40" << 0 << 25.0;
    }
    void rangePastTheSourceEnd() {
        QFETCH(QString, end);
        QFETCH(int, sections);
        QFETCH(double, length);
        SplitInputs inputs = GoodInputs();
        inputs.sourceDurationMs = 20000;
        inputs.startText = QStringLiteral("00:00:15");
        inputs.endText = end;
        inputs.oneClip = sections == 0;
        inputs.sectionQtyText = QString::number(sections);
        const InputCheck check = CheckSplitInputs(inputs);
        QVERIFY(check.ok);
        QCOMPARE(check.plan.Length(), length);
        QCOMPARE(check.plan.ClipStart(check.plan.Count()) + check.plan.ClipLength(check.plan.Count()),
                 15 + length);
    }

    void commandLines_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("length");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("60 to 90")
            << 60.0 << 30.0 << " -vcodec xvid -ab 128 -an "
            << " -y -i \"C:\\Video\\talk.avi\" -ss 60.0 -t 30 -vcodec xvid -ab 128 -an  "
               "\"C:\\Clips\\talk_Clip1.avi\"";
        const ClipPlan thirds(0, 10, 3, false);
        const char* starts[3] = {"0.0", "3.3", "6.7"};
        for (int i = 1; i <= 3; ++i)
            QTest::addRow("section %d of 3", i)
                << thirds.ClipStart(i) << thirds.ClipLength(i) << ""
                << QStringLiteral(" -y -i \"C:\\Video\\talk.avi\" -ss %1 -t 3.33333333333333 "
                                  "\"C:\\Clips\\talk_Clip1.avi\"")
                       .arg(QLatin1String(starts[i - 1]));
        QTest::newRow("start rounds half away from zero")
            << 0.25 << 1.5 << ""
            << " -y -i \"C:\\Video\\talk.avi\" -ss 0.3 -t 1.5 \"C:\\Clips\\talk_Clip1.avi\"";
    }
    void commandLines() {
        QFETCH(double, start);
        QFETCH(double, length);
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        const QString sourcePath = QStringLiteral("C:\\Video\\talk.avi");
        const QString output = QStringLiteral("C:\\Clips\\talk_Clip1.avi");
        QCOMPARE(EncoderCommandLine(sourcePath, start, length, OptionsFromText(arguments), output), expected);
        // A comma locale must not reach the encoder.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(EncoderCommandLine(sourcePath, start, length, OptionsFromText(arguments), output), expected);
    }

    void argumentList() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QStringList arguments = EncoderArguments(QStringLiteral("/v/my talk.avi"), 10.0 / 3, 10.0 / 3,
                                                       OptionsFromText(QStringLiteral(" -c:v libx264 -an ")),
                                                       QStringLiteral("/c/my talk_Clip2.mp4"));
        QCOMPARE(arguments,
                 QStringList({"-y", "-i", "/v/my talk.avi", "-ss", "3.3333333333333335", "-t",
                              "3.3333333333333335", "-c:v", "libx264", "-an", "/c/my talk_Clip2.mp4"}));
        // A clip of at most a size: the limit after the options, where the command line shows it too.
        const ProfileOptions copy = OptionsFromText(QStringLiteral(" -map 0 -c copy"));
        QCOMPARE(EncoderArguments(QStringLiteral("/v/talk.mkv"), 0, 2, copy,
                                  QStringLiteral("/c/talk_Clip1.mkv"), QStringLiteral("matroska"), 5000000)
                     .mid(7),
                 QStringList(
                     {"-map", "0", "-c", "copy", "-fs", "5000000", "-f", "matroska", "/c/talk_Clip1.mkv"}));
        QCOMPARE(EncoderCommandLine(QStringLiteral("/v/talk.mkv"), 0, 2, copy,
                                    QStringLiteral("/c/talk_Clip1.mkv"), 5000000),
                 QStringLiteral(
                     R"( -y -i "/v/talk.mkv" -ss 0.0 -t 2 -map 0 -c copy -fs 5000000 "/c/talk_Clip1.mkv")"));
    }

    // A value with blanks reaches the encoder whole, and the command line shows it quoted.
    void valueWithBlanksStaysOneArgument() {
        const ProfileOptions options{{"-vf", "scale=640:-2, setsar=1"}, {"-an", std::nullopt}};
        const QString source = QStringLiteral("/v/talk.avi");
        const QString output = QStringLiteral("/c/talk_Clip1.mp4");
        QCOMPARE(EncoderArguments(source, 0, 2, options, output).mid(7),
                 QStringList({"-vf", "scale=640:-2, setsar=1", "-an", output}));
        QCOMPARE(
            EncoderCommandLine(source, 0, 2, options, output),
            QStringLiteral(
                R"( -y -i "/v/talk.avi" -ss 0.0 -t 2 -vf "scale=640:-2, setsar=1" -an  "/c/talk_Clip1.mp4")"));
    }

    // Wherever the front-end's output is split into chunks, the clip's own output and its exit code come
    // out whole, and a progress line is never held back.
    void clipEndMark_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("clipOutput");
        QTest::addColumn<int>("code");
        const QByteArray end0("\0clip-end 0\n", 12);
        const QByteArray end1("\0clip-end 1\n", 12);
        const QByteArray note("\0note starts at 00:00:01.000\n", 29);
        QTest::newRow("written") << QByteArray("size=1 time=00:00:01.00\r") + end0
                                 << QByteArray("size=1 time=00:00:01.00\r") << 0;
        QTest::newRow("failed") << QByteArray("size=1 time=00:00:01.00\r\nno frames\n") + end1
                                << QByteArray("size=1 time=00:00:01.00\r\nno frames\n") << 1;
        QTest::newRow("a note stays with the clip") << note + end0 << note << 0;
        QTest::newRow("a code that is not a number fails")
            << QByteArray("\0clip-end x\n", 12) << QByteArray() << 1;
        // A source named "a.mp4\nclip-end 0" shows up in ffmpeg's error text; only a record ends a clip.
        QTest::newRow("a name with a line break cannot end the clip")
            << QByteArray("/v/a.mp4\nclip-end 0\n: Invalid data\n") + end1
            << QByteArray("/v/a.mp4\nclip-end 0\n: Invalid data\n") << 1;
        QTest::newRow("nor one with a NUL byte written out")
            << QByteArray("\\0clip-end 0\\n") + end1 << QByteArray("\\0clip-end 0\\n") << 1;
    }
    void clipEndMark() {
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, clipOutput);
        QFETCH(int, code);
        for (int split = 0; split <= output.size(); ++split) {
            ClipEndMark mark;
            QByteArray seen;
            mark.Feed(output.left(split), seen);
            // Text goes on at once; only a record's start is held back.
            if (split <= clipOutput.size() && !clipOutput.left(split).contains('\0'))
                QCOMPARE(seen, output.left(split));
            mark.Feed(output.mid(split), seen);
            QCOMPARE(seen, clipOutput);
            QCOMPARE(mark.TakeEnd(), std::optional<int>(code));
        }
    }

    // The front-end writes a clip's lines in bursts: each chunk the read loop gets holds at most one line,
    // so that every progress line counts, and together the chunks are the whole output.
    void outputChunks_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("maxSize");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::newRow("two progress lines at once")
            << QByteArray("size=N/A time=00:00:00.09 x\rsize=N/A time=00:00:02.96 x\r") << 4095
            << QList<QByteArray>{"size=N/A time=00:00:00.09 x\r", "size=N/A time=00:00:02.96 x\r"};
        QTest::newRow("an error after progress")
            << QByteArray("time=00:00:01.00 x\r\nno frames\n") << 4095
            << QList<QByteArray>{"time=00:00:01.00 x\r", "\n", "no frames\n"};
        QTest::newRow("a line longer than a chunk")
            << QByteArray("abcdefg\rh") << 3 << QList<QByteArray>{"abc", "def", "g\r", "h"};
    }
    void outputChunks() {
        QFETCH(QByteArray, output);
        QFETCH(int, maxSize);
        QFETCH(QList<QByteArray>, chunks);
        QList<QByteArray> taken;
        while (!output.isEmpty())
            taken << TakeOutputChunk(output, maxSize);
        QCOMPARE(taken, chunks);
        if (chunks.size() == 2)
            QCOMPARE(ChunkEncoderTime(taken.last()), 2.96);
    }

    // A stream copy is told by what the options do; the stream-copy profile's name alone still makes one.
    void streamCopyByContent_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("copy");
        QTest::newRow("saved copy of the lossless profile") << "My lossless"
                                                            << " -map 0 -c copy -ignore_unknown" << true;
        QTest::newRow("copy at keyframes") << "Fast"
                                           << " -codec copy -cut_points keyframes -an" << true;
        QTest::newRow("the name, whatever its options") << "Settings of the source file."
                                                        << " -c:v libx264" << true;
        QTest::newRow("one stream encoded after the copy") << "Mixed"
                                                           << " -map 0 -c copy -c:a aac" << false;
        QTest::newRow("video and audio copied, others not named") << "Pair"
                                                                  << " -c:v copy -c:a copy" << false;
        QTest::newRow("a filter") << "Filtered"
                                  << " -c copy -vf yadif" << false;
        QTest::newRow("an encode") << "MP4"
                                   << " -c:v libx264 -c:a aac" << false;
        QTest::newRow("copy of another input's streams") << "Other"
                                                         << " -map 1 -c copy" << false;
        QTest::newRow("no options") << "Empty"
                                    << "" << false;
    }
    void streamCopyByContent() {
        QFETCH(QString, profile);
        QFETCH(QString, options);
        QFETCH(bool, copy);
        QCOMPARE(IsStreamCopy(profile, OptionsFromText(options)), copy);
    }

    void clipNames_data() {
        QTest::addColumn<QString>("sourcePath");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("clip");
        QTest::addColumn<QString>("expected");
        QTest::newRow("talk.part1 clip 1") << "/v/talk.part1.avi"
                                           << "MP4" << 1 << "/out/talk.part1_Clip1.mp4";
        QTest::newRow("talk.part1 clip 3") << "/v/talk.part1.avi"
                                           << "MP4" << 3 << "/out/talk.part1_Clip3.mp4";
        QTest::newRow("no leading zeros") << "/v/a.avi"
                                          << "MP4" << 12 << "/out/a_Clip12.mp4";
        QTest::newRow("stream copy keeps the source's type")
            << "/v/Talk.MKV"
            << "Settings of the source file." << 2 << "/out/Talk_Clip2.MKV";
        QTest::newRow("stream copy of a source without type")
            << "/v/talk"
            << "Settings of the source file." << 1 << "/out/talk_Clip1.mp4";
    }
    void clipNames() {
        QFETCH(QString, sourcePath);
        QFETCH(QString, profile);
        QFETCH(int, clip);
        QFETCH(QString, expected);
        QCOMPARE(ClipOutputPath(
                     QStringLiteral("/out/"), sourcePath, clip,
                     ClipExtension(IsSourceSettingsProfile(profile), sourcePath, QStringLiteral(".mp4"))),
                 expected);
    }

    void chunkTime_data() {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<double>("seconds");
        QTest::newRow("seconds") << QByteArray("frame=  12 time=12.48 bitrate=1k") << 12.48;
        QTest::newRow("time text") << QByteArray("size= 1kB time=00:01:02.48 bitrate=") << 62.48;
        QTest::newRow("first time counts") << QByteArray("time=5.00 x time=9.00 ") << 5.0;
        QTest::newRow("any separator") << QByteArray("time:7.5 ") << 7.5;
        QTest::newRow("no blank after") << QByteArray("time=7.5") << -1.0;
        QTest::newRow("not available") << QByteArray("time=N/A bitrate=N/A") << -1.0;
        QTest::newRow("noise") << QByteArray("Press [q] to stop") << -1.0;
        // Without "time" the text from the fifth character on is read.
        QTest::newRow("no time word") << QByteArray("abcd3.5 rest") << 3.5;
        QTest::newRow("stops at a zero byte") << QByteArray("time=4.0\0 5", 11) << -1.0;
        QTest::newRow("comma is no decimal point") << QByteArray("time=4,5 ") << -1.0;
    }
    void chunkTime() {
        QFETCH(QByteArray, chunk);
        QFETCH(double, seconds);
        QCOMPARE(ChunkEncoderTime(chunk), seconds);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(ChunkEncoderTime(chunk), seconds);
    }

    void bars_data() {
        QTest::addColumn<double>("clipLength");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("clip");
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::newRow("best time only grows")
            << 10.0 << 1 << 1 << QByteArrayList{"time=5.00 bitrate", "time=4.00 x", "noise"} << 50 << 50;
        QTest::newRow("time text progress")
            << 10.0 << 1 << 1 << QByteArrayList{"time=5.00 ", "time=00:00:07.50 "} << 75 << 75;
        QTest::newRow("beyond the length clamps")
            << 10.0 << 1 << 1 << QByteArrayList{"time=10.4 "} << 100 << 100;
        QTest::newRow("clip 2 of 4 at 50") << 20.0 << 4 << 2 << QByteArrayList{"time=10.0 "} << 50 << 38;
        QTest::newRow("clip 1 of 8 at 4") << 100.0 << 8 << 1 << QByteArrayList{"time=4.0 "} << 4 << 0;
        QTest::newRow("half rounds to even") << 8.0 << 1 << 1 << QByteArrayList{"time=0.2 "} << 2 << 2;
        QTest::newRow("a billion is ignored")
            << 10.0 << 1 << 1 << QByteArrayList{"time=1000000000 "} << 0 << 0;
        QTest::newRow("last clip reaches 100") << 5.0 << 3 << 3 << QByteArrayList{"time=5.0 "} << 100 << 100;
    }
    void bars() {
        QFETCH(double, clipLength);
        QFETCH(int, count);
        QFETCH(int, clip);
        QFETCH(QByteArrayList, chunks);
        QFETCH(int, current);
        QFETCH(int, total);
        ClipProgress progress(ClipPlan(0, clipLength * count, count, count == 1));
        progress.SetClip(clip);
        for (const QByteArray& chunk : chunks)
            progress.Feed(chunk);
        QCOMPARE(progress.Current(), current);
        QCOMPARE(progress.Total(), total);
    }

    void betweenClips() {
        ClipProgress progress(ClipPlan(0, 30, 3, false));
        progress.Feed("time=10.0 ");
        QCOMPARE(progress.Total(), 33);
        progress.EndClip();
        QCOMPARE(progress.Current(), 0);
        QCOMPARE(progress.BestTime(), 0.0);
        QCOMPARE(progress.Total(), 33);
        progress.SetClip(2);
        progress.Feed("time=1.0 ");
        QCOMPARE(progress.Current(), 10);
        QCOMPARE(progress.Total(), 37);
    }

    void remaining_data() {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("total");
        QTest::addColumn<long long>("remaining");
        QTest::newRow("30 ticks at 25") << 30 << 25 << 90LL;
        QTest::newRow("45 ticks at 50") << 45 << 50 << 45LL;
        QTest::newRow("nothing done yet") << 500 << 0 << 0LL;
        QTest::newRow("all done") << 77 << 100 << 0LL;
        QTest::newRow("half to even") << 1 << 80 << 0LL;  // 0.25
        QTest::newRow("3 ticks at 40") << 3 << 40 << 4LL; // 4.5 rounds to 4
    }
    void remaining() {
        QFETCH(int, elapsed);
        QFETCH(int, total);
        QFETCH(long long, remaining);
        QCOMPARE(RemainingSeconds(elapsed, total), remaining);
    }

    void lastErrorLine_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("line");
        QTest::newRow("after progress")
            << QByteArray("frame=1 time=00:00:01.00 bitrate=1\rUnknown encoder 'x'\n")
            << "Unknown encoder 'x'";
        QTest::newRow("progress last")
            << QByteArray("Some warning\nframe=1 time=00:00:01.00 bitrate=1\r") << "Some warning";
        QTest::newRow("only progress") << QByteArray("size=1kB time=1.0 bitrate=\r") << "";
        QTest::newRow("empty") << QByteArray() << "";
    }
    void lastErrorLine() {
        QFETCH(QByteArray, output);
        QFETCH(QString, line);
        QCOMPARE(LastErrorLine(output), line);
    }

    void failureReport() {
        const QString text =
            FailureReport({{QStringLiteral("a_Clip2.mp4"), QStringLiteral("Invalid argument")},
                           {QStringLiteral("a_Clip3.mp4"), QString()}});
        QVERIFY(text.contains(QLatin1String("\na_Clip2.mp4: Invalid argument")));
        QVERIFY(text.endsWith(QLatin1String("\na_Clip3.mp4")));
    }
};

QTEST_GUILESS_MAIN(TestSplitPlan)
#include "tst_splitplan.moc"
