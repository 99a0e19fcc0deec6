#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line of tessel-split asks for. Texts are kept as typed: the run's own checks judge
// them, with the same messages as the window.
struct SplitOptions {
    QString source;
    QString start;
    QString end;
    // At most one of the three: that many equal sections, clips of that length, or clips of at most that
    // size. None: the whole range as one clip.
    std::optional<QString> sections;
    std::optional<QString> every;
    std::optional<QString> maxSize;
    std::optional<QString> profile;
    std::optional<QString> output;
    // Absent: the stored preference decides.
    std::optional<bool> overwrite;
    bool dryRun = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct SplitOptionsParse {
    SplitOptions options;
    // Empty when the command line is well-formed.
    QString error;
};

// Reads the arguments after the program name. Options take their value as the next argument or after
// "=", so a value may begin with "-" (a negative time); "--" ends the options. Help and the version win
// over anything missing.
SplitOptionsParse ParseSplitOptions(const QStringList& arguments);

QString SplitUsageText();
// "tessel-split" and the program's version, for --version.
QString SplitVersionText();
