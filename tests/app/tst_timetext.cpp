#include "app/numbers.h"
#include "app/timetext.h"

#include <QtTest>

class TestTimeText : public QObject {
    Q_OBJECT
private slots:
    void secondsToText_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00:00";
        QTest::newRow("truncates") << 59.999 << "00:00:59";
        QTest::newRow("one day less") << 86399.0 << "23:59:59";
        QTest::newRow("no day roll-over") << 86400.0 << "24:00:00";
        QTest::newRow("99 hours") << 359999.0 << "99:59:59";
        QTest::newRow("third hour digit") << 360000.0 << "100:00:00";
        QTest::newRow("fraction dropped") << 3723.5 << "01:02:03";
        QTest::newRow("negative seconds") << -5.0 << "00:00:-05";
        QTest::newRow("negative pieces") << -3725.0 << "-01:-02:-05";
    }
    void secondsToText() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(SecondsToTimeText(seconds), text);
    }

    void textToSeconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds");
        QTest::newRow("zero") << "00:00:00" << 0.0;
        QTest::newRow("full") << "12:34:56" << 45296.0;
        QTest::newRow("single digits") << "1:2:3" << 3723.0;
        QTest::newRow("minutes add up") << "00:61:00" << 3660.0;
        QTest::newRow("90 minutes") << "0:90:00" << 5400.0;
        QTest::newRow("fraction") << "00:00:07.25" << 7.25;
        QTest::newRow("signed piece") << "00:00:-05" << -5.0;
        QTest::newRow("seconds start with point") << "00:00:.5" << -1.0;
        QTest::newRow("one colon") << "00:00" << -1.0;
        QTest::newRow("number") << "5" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("letters") << "a:b:c" << -1.0;
        QTest::newRow("four pieces") << "1:2:3:4" << -1.0;
        QTest::newRow("empty seconds") << "01:02:" << -1.0;
        QTest::newRow("empty hours") << ":02:03" << -1.0;
        QTest::newRow("hours beyond 32 bits") << "99999999999:00:00" << -1.0;
        QTest::newRow("100 hours") << "100:00:00" << 360000.0;
        QTest::newRow("beyond 100 hours") << "100:00:01" << -1.0;
        QTest::newRow("minutes beyond 100 hours") << "0:6001:00" << -1.0;
        QTest::newRow("huge seconds") << "00:00:1e300" << -1.0;
        QTest::newRow("huge negative seconds") << "00:00:-1e300" << -1.0;
    }
    void textToSeconds() {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        QCOMPARE(TimeTextToSeconds(text), seconds);
    }

    void roundTripTruncates() { QCOMPARE(TimeTextToSeconds(SecondsToTimeText(75.9)), 75.0); }

    void encoderTime_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds");
        QTest::newRow("seconds") << "12.48" << 12.48;
        QTest::newRow("time text") << "00:01:02.48" << 62.48;
        QTest::newRow("hours") << "01:00:00.00" << 3600.0;
        QTest::newRow("comma is no number") << "12,48" << -1.0;
        QTest::newRow("N/A") << "N/A" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
    }
    void encoderTime() {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        QCOMPARE(EncoderTimeToSeconds(text), seconds);
    }

    void encoderTimeIgnoresLocale() {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(EncoderTimeToSeconds(QStringLiteral("7.5")), 7.5);
        QCOMPARE(TimeTextToSeconds(QStringLiteral("00:00:07,5")), 7.5);
        QCOMPARE(FormatOneDecimal(3.33), QStringLiteral("3.3"));
        QLocale::setDefault(previous);
    }

    void wholeNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "640" << true << 640;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("negative") << "-320" << true << -320;
        QTest::newRow("leading blank") << " 640" << true << 640;
        QTest::newRow("trailing text") << "640px" << false << 0;
        QTest::newRow("trailing blank") << "640 " << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("dollar hex") << "$1F" << true << 31;
        QTest::newRow("0x hex") << "0x10" << true << 16;
        QTest::newRow("x hex") << "xff" << true << 255;
        QTest::newRow("nine hex digits") << "$123456789" << false << 0;
        QTest::newRow("int max") << "2147483647" << true << 2147483647;
        QTest::newRow("beyond int") << "2147483648" << false << 0;
        QTest::newRow("int min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("3a") << "3a" << false << 0;
    }
    void wholeNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = ParseWholeNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void encoderNumbers_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("oneDecimal");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("exact");
        QTest::newRow("whole") << 60.0 << "60.0"
                               << "60"
                               << "60.0";
        QTest::newRow("third") << 10.0 / 3 << "3.3"
                               << "3.33333333333333"
                               << "3.3333333333333335";
        QTest::newRow("two thirds") << 20.0 / 3 << "6.7"
                                    << "6.66666666666667"
                                    << "6.666666666666667";
        QTest::newRow("zero") << 0.0 << "0.0"
                              << "0"
                              << "0.0";
        QTest::newRow("half tenth up") << 0.25 << "0.3"
                                       << "0.25"
                                       << "0.25";
        QTest::newRow("hours, no exponent") << 123456789.125 << "123456789.1"
                                            << "123456789.125"
                                            << "123456789.125";
    }
    void encoderNumbers() {
        QFETCH(double, value);
        QFETCH(QString, oneDecimal);
        QFETCH(QString, general);
        QFETCH(QString, exact);
        QCOMPARE(FormatOneDecimal(value), oneDecimal);
        QCOMPARE(FormatGeneral(value), general);
        QCOMPARE(FormatExact(value), exact);
        QCOMPARE(FormatExact(value).toDouble(), value);
    }

    void bankersRounding() {
        QCOMPARE(RoundHalfEven(37.5), 38LL);
        QCOMPARE(RoundHalfEven(0.5), 0LL);
        QCOMPARE(RoundHalfEven(6.5), 6LL);
        QCOMPARE(RoundHalfEven(5.5), 6LL);
    }
};

QTEST_GUILESS_MAIN(TestTimeText)
#include "tst_timetext.moc"
