#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Test media made at test time with ffmpeg's lavfi sources (testsrc2 and sine); no media are committed.
namespace TestMedia {
// Makes a video of the given length into path; extra ffmpeg output options may choose codecs and size.
// Returns false (and the reason in error) when ffmpeg is missing or fails.
bool MakeVideo(const QString& path, double seconds, const QStringList& outputOptions = {},
               QString* error = nullptr, const QString& size = QStringLiteral("320x240"));
// Runs a program to its end (three minutes at most) and returns its standard output and error together;
// exitCode is -1 when it did not start, crashed or did not finish.
QString RunMerged(const QString& program, const QStringList& arguments, int* exitCode);
// Runs a program to its end and returns its standard output (empty on failure).
QString RunAndRead(const QString& program, const QStringList& arguments, int* exitCode = nullptr);
// The duration of a media file in seconds from ffprobe, or -1.
double ProbeDuration(const QString& path);
// The codec name of the first stream of a kind ("v" or "a"), or empty.
QString ProbeCodec(const QString& path, const QString& streamKind);
} // namespace TestMedia

// A fresh program folder in a temporary place: AppDir points there for the test's lifetime, with an
// empty "Profiles" folder. Shipped profiles can be copied in from the build's program folder.
class TempProgramDir {
public:
    TempProgramDir();
    ~TempProgramDir();
    const QString& path() const { return dir; } // ends in the separator
    QString Write(const QString& relativePath, const QByteArray& content) const;
    // Copies the shipped profiles (the source tree's data/Profiles) into this one.
    void CopyShippedProfiles() const;

private:
    std::unique_ptr<QTemporaryDir> temp;
    QString dir;
    QString previousAppDir;
};
