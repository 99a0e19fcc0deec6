#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A program folder of its own for tessel-split: the built executable copied into a temporary folder,
// with an empty Profiles folder and no preferences, so that each test lays down exactly what it needs.
class HeadlessProgram {
public:
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };

    HeadlessProgram();

    // The folder, ending in "/".
    const QString& Path() const { return dir; }
    QString Write(const QString& relativePath, const QByteArray& content) const;
    void Remove(const QString& relativePath) const;
    // Copies the profiles that the build ships.
    void CopyShippedProfiles() const;
    // The real encoder front-end of the build.
    void UseRealEncoder() const;
    // A shell script as the encoder. It appends its arguments to "calls.log", writes its process id to
    // "pid" and has the output path in $out before the body runs.
    void UseFakeEncoder(const QByteArray& body) const;
    QStringList EncoderCalls() const;

    // Starts tessel-split from the folder with the given arguments; standard input is the null device.
    void Start(QProcess& process, const QStringList& arguments) const;
    Result Run(const QStringList& arguments) const;

private:
    QTemporaryDir temp;
    QString dir;
};
