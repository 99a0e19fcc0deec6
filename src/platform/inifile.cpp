#include "platform/inifile.h"

#include "app/apperror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxValueLength = 2047;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray Trimmed(const QByteArray& text) {
    int begin = 0;
    int end = text.size();
    while (begin < end && IsBlank(text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString Normalised(const QString& name) {
    return name.trimmed().toLower();
}

bool SectionName(const QByteArray& line, QString& name) {
    const QByteArray trimmed = Trimmed(line);
    if (!trimmed.startsWith('['))
        return false;
    const int close = trimmed.indexOf(']');
    name = QString::fromUtf8(trimmed.mid(1, close < 0 ? -1 : close - 1));
    return true;
}

bool KeyAndValue(const QByteArray& line, QString& key, QByteArray& value) {
    const QByteArray trimmed = Trimmed(line);
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return false;
    const int equals = trimmed.indexOf('=');
    if (equals < 0)
        return false;
    key = QString::fromUtf8(Trimmed(trimmed.left(equals)));
    value = Trimmed(trimmed.mid(equals + 1));
    return true;
}

// A line ends at "\r\n", "\n" or a lone "\r", as editors show it: no name or value read from a file then
// holds a line break, so whatever is read can be written back.
QList<QByteArray> SplitLines(const QByteArray& content) {
    QList<QByteArray> lines;
    int begin = 0;
    for (int i = 0; i < content.size(); ++i) {
        if (content.at(i) != '\n' && content.at(i) != '\r')
            continue;
        lines << content.mid(begin, i - begin);
        if (content.at(i) == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
            ++i;
        begin = i + 1;
    }
    if (begin < content.size())
        lines << content.mid(begin);
    return lines;
}

// Profiles and preferences are small text files. Anything else named by such a path (a FIFO that would
// block, a device that never ends, a file far too big) is refused as unreadable, without waiting on it.
constexpr qint64 LargestFile = 1 << 20;

// True with the file's content, or with nothing for a file that is not there; false when it is there
// but is no regular file of a sane size, or cannot be read.
bool ReadSmallFile(const QString& path, QByteArray& content) {
    const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT || errno == ENOTDIR;
    struct stat status {};
    bool ok = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= LargestFile;
    while (ok) {
        char buffer[65536];
        const ssize_t count = read(descriptor, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        content.append(buffer, qsizetype(count));
        // The file grew while it was read.
        ok = content.size() <= LargestFile;
    }
    close(descriptor);
    if (!ok)
        content.clear();
    return ok;
}

} // namespace

IniFile::IniFile(const QString& path) : filePath(path) {
    QByteArray content;
    readable = ReadSmallFile(path, content);
    if (readable) {
        if (content.contains("\r\n"))
            lineBreak = "\r\n";
        lines = SplitLines(content);
    }
    Parse();
}

void IniFile::CheckReadable() const {
    if (!readable)
        throw AppError(QStringLiteral("Unable to read %1").arg(filePath));
}

void IniFile::Parse() {
    sections.clear();
    SectionIndex* current = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (SectionName(lines.at(i), name)) {
            const QString id = Normalised(name);
            // A repeated section header continues nowhere: the first section of a name is the one read.
            if (sections.contains(id)) {
                current = nullptr;
                continue;
            }
            current = &sections[id];
            current->headerLine = i;
            current->lastContentLine = i;
            continue;
        }
        if (!current)
            continue;
        if (!Trimmed(lines.at(i)).isEmpty())
            current->lastContentLine = i;
        QString key;
        QByteArray value;
        if (KeyAndValue(lines.at(i), key, value)) {
            const QString id = Normalised(key);
            if (!current->keyLines.contains(id)) {
                current->keyLines.insert(id, i);
                current->keyOrder << key;
            }
        }
    }
}

const IniFile::SectionIndex* IniFile::Find(const QString& section) const {
    const auto it = sections.constFind(Normalised(section));
    return it == sections.constEnd() ? nullptr : &it.value();
}

bool IniFile::HasSection(const QString& section) const {
    return Find(section) != nullptr;
}

bool IniFile::HasKey(const QString& section, const QString& key) const {
    const SectionIndex* index = Find(section);
    return index && index->keyLines.contains(Normalised(key));
}

QStringList IniFile::Keys(const QString& section) const {
    const SectionIndex* index = Find(section);
    return index ? index->keyOrder : QStringList();
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const SectionIndex* index = Find(section);
    if (!index)
        return defaultValue;
    const auto it = index->keyLines.constFind(Normalised(key));
    if (it == index->keyLines.constEnd())
        return defaultValue;
    QString name;
    QByteArray raw;
    KeyAndValue(lines.at(it.value()), name, raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        raw = raw.mid(1, raw.size() - 2);
    return QString::fromUtf8(raw).left(MaxValueLength);
}

bool IniFile::ParseInteger(const QString& text, int& value) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    if (trimmed.size() > 2 &&
        (trimmed.startsWith(QLatin1String("0x")) || trimmed.startsWith(QLatin1String("0X")))) {
        const QString digits = trimmed.mid(2);
        if (digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
            return false;
        const uint parsed = digits.toUInt(&ok, 16);
        if (ok)
            value = static_cast<int>(parsed);
        return ok;
    }
    const int parsed = trimmed.toInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    int value = defaultValue;
    if (!HasKey(section, key) || !ParseInteger(ReadString(section, key, QString()), value))
        return defaultValue;
    return value;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // Every name and value lives on one line; a line break would turn the rest into a line of its own.
    const auto hasLineBreak = [](const QString& text) {
        return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    };
    if (hasLineBreak(section) || hasLineBreak(key))
        throw AppError(QStringLiteral("Unable to write to %1: a name holds a line break.").arg(filePath));
    if (hasLineBreak(value))
        throw AppError(QStringLiteral("Unable to write to %1: the value of \"%2\" holds a line break.")
                           .arg(filePath, key));
    const QByteArray line = key.trimmed().toUtf8() + '=' + value.toUtf8();
    const SectionIndex* index = Find(section);
    if (!index) {
        if (!lines.isEmpty() && !Trimmed(lines.last()).isEmpty())
            lines << QByteArray();
        lines << '[' + section.trimmed().toUtf8() + ']' << line;
    } else {
        const auto it = index->keyLines.constFind(Normalised(key));
        if (it != index->keyLines.constEnd()) {
            // Keep the key's own spelling where it stands.
            QString storedKey;
            QByteArray oldValue;
            KeyAndValue(lines.at(it.value()), storedKey, oldValue);
            lines[it.value()] = storedKey.toUtf8() + '=' + value.toUtf8();
        } else {
            lines.insert(index->lastContentLine + 1, line);
        }
    }
    Save();
    Parse();
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::Save() {
    const QString failure = QStringLiteral("Unable to write to %1").arg(filePath);
    if (!readable)
        throw AppError(failure + QStringLiteral(": the file could not be read."));
    const QFileInfo info(filePath);
    if (info.exists() && !info.isWritable())
        throw AppError(failure);
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(failure);
    for (const QByteArray& line : lines) {
        if (file.write(line) != line.size() || file.write(lineBreak) != lineBreak.size()) {
            file.cancelWriting();
            throw AppError(failure);
        }
    }
    // Qt's commit renames the new file into place even when the final flush ran out of space, which
    // would leave an empty file: the flush is checked here first.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        throw AppError(failure);
    }
    if (!file.commit())
        throw AppError(failure);
}
