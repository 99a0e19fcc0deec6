#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// A file in the temporary folder that each fuzz input is written into; the file readers under test take
// paths, not bytes. One per process, so parallel fuzzers never share it.
class FuzzFile {
public:
    explicit FuzzFile(const QString& extension);
    ~FuzzFile();
    const QString& path() const { return filePath; }
    void Write(const uint8_t* data, size_t size) const;
    QByteArray Read() const;

private:
    QString filePath;
};
