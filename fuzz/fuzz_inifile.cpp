// The INI reader on arbitrary bytes, its look-ups, and one write that must keep every other value.
#include "fuzzcheck.h"
#include "fuzzfile.h"
#include "platform/inifile.h"

#include <QMap>
#include <cstdlib>

namespace {

constexpr int MaxValueLength = 2047;

QMap<QString, QString> Values(const IniFile& ini, const QString& section) {
    QMap<QString, QString> values;
    for (const QString& key : ini.Keys(section))
        values.insert(key, ini.ReadString(section, key, QString()));
    return values;
}

// A short plain value taken from the input, so that it must read back exactly as written.
QString PlainValue(const QByteArray& bytes) {
    QString value;
    for (char c : bytes.right(24)) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            value += QLatin1Char(c);
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFile file(QStringLiteral(".ini"));
    file.Write(data, size);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    IniFile ini(file.path());
    const QStringList sections{QStringLiteral("Main"), QStringLiteral("main"), QStringLiteral("A"),
                               QStringLiteral("")};
    for (const QString& section : sections) {
        for (const QString& key : ini.Keys(section)) {
            FUZZ_CHECK(ini.HasKey(section, key));
            // A key that is there never reads as the default: its value is the same whatever the default.
            const QString value = ini.ReadString(section, key, QStringLiteral("\x01"));
            FUZZ_CHECK(value == ini.ReadString(section, key, QStringLiteral("\x02")));
            FUZZ_CHECK(value.size() <= MaxValueLength);
            int parsed = 0;
            const int read = ini.ReadInteger(section, key, -7);
            FUZZ_CHECK(IniFile::ParseInteger(value, parsed) ? read == parsed : read == -7);
        }
        FUZZ_CHECK(ini.ReadInteger(section, QStringLiteral("\x02missing"), 42) == 42);
    }

    const QMap<QString, QString> before = Values(ini, QStringLiteral("Main"));
    const QString value = PlainValue(bytes);
    // The temporary folder is writable: the write must not fail.
    bool written = false;
    try {
        ini.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Key"), value);
        written = true;
    } catch (...) {
    }
    FUZZ_CHECK(written);
    const IniFile reread(file.path());
    FUZZ_CHECK(reread.HasKey(QStringLiteral("Fuzz"), QStringLiteral("Key")));
    FUZZ_CHECK(reread.ReadString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QString()) == value);
    // Writing one key of another section leaves [Main] as it was.
    FUZZ_CHECK(Values(reread, QStringLiteral("Main")) == before);
    return 0;
}
