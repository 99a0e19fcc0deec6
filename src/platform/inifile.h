#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// INI text read and written key by key, keeping the rules that stored profiles and preferences rely on:
// names match without regard to case, blanks around names and values are dropped, a value wholly enclosed
// in a pair of quotation marks is read without them, a value is read as at most 2047 characters, and a
// write changes one line (or appends the key or section) and keeps every other line byte for byte.
// Every write replaces the file atomically; a failed write throws AppError "Unable to write to %s". A name
// or value with a line break is refused the same way, with the reason after the path.
class IniFile {
public:
    explicit IniFile(const QString& path);

    const QString& path() const { return filePath; }

    // False when the file is there but could not be read (no permission, an input/output error). It then
    // reads as empty, and every write is refused, since the file would be replaced by what little it holds.
    bool Readable() const { return readable; }
    // Throws AppError "Unable to read %s" when the file is there but could not be read.
    void CheckReadable() const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal with an optional sign, or hexadecimal after "0x"; anything else gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    bool HasSection(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;
    // The key names of a section, in file order (the first of duplicated names only).
    QStringList Keys(const QString& section) const;

    // Integer text as the reader takes it; std::nullopt-like false when it is no number.
    static bool ParseInteger(const QString& text, int& value);

private:
    struct SectionIndex {
        int headerLine = -1;
        int lastContentLine = -1;
        QHash<QString, int> keyLines;
        QStringList keyOrder;
    };

    void Parse();
    void Save();
    const SectionIndex* Find(const QString& section) const;

    QString filePath;
    QList<QByteArray> lines;
    QByteArray lineBreak = "\n";
    QHash<QString, SectionIndex> sections;
    bool readable = true;
};
