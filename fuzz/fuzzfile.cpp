#include "fuzzfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <unistd.h>

FuzzFile::FuzzFile(const QString& extension)
    : filePath(QDir::tempPath() + QStringLiteral("/tessel-fuzz-%1%2").arg(getpid()).arg(extension)) {}

FuzzFile::~FuzzFile() {
    QFile::remove(filePath);
}

void FuzzFile::Write(const uint8_t* data, size_t size) const {
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size))
        std::abort(); // the harness itself failed, not the code under test
}

QByteArray FuzzFile::Read() const {
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
