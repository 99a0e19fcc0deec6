#include "cli/splitoptions.h"

#include <QCommandLineParser>

namespace {

struct Option {
    const char* name;
    bool takesValue;
};

constexpr Option Options[] = {
    {"start", true},   {"end", true},    {"sections", true},   {"every", true},         {"max-size", true},
    {"profile", true}, {"output", true}, {"overwrite", false}, {"no-overwrite", false}, {"dry-run", false},
    {"quiet", false},  {"help", false},  {"version", false},
};

std::optional<QString> ValueOf(const QCommandLineParser& parser, const QString& name) {
    return parser.isSet(name) ? std::optional<QString>(parser.values(name).constLast()) : std::nullopt;
}

// The checks that need every argument read; returns the problem, or an empty text.
QString CheckCombination(const QCommandLineParser& parser, SplitOptions& options) {
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return QStringLiteral("no source video given");
    if (positional.size() > 1)
        return QStringLiteral("more than one source given (%1)").arg(positional.at(1));
    options.source = positional.first();
    if (parser.isSet(QStringLiteral("overwrite")) && parser.isSet(QStringLiteral("no-overwrite")))
        return QStringLiteral("--overwrite and --no-overwrite exclude each other");
    QStringList modes;
    for (const char* mode : {"--sections", "--every", "--max-size"})
        if (parser.isSet(QLatin1String(mode + 2)))
            modes << QLatin1String(mode);
    if (modes.size() > 1)
        return modes.join(QStringLiteral(" and ")) + QStringLiteral(" exclude each other");
    if (!parser.isSet(QStringLiteral("start")))
        return QStringLiteral("--start is required");
    if (!parser.isSet(QStringLiteral("end")))
        return QStringLiteral("--end is required");
    return QString();
}

} // namespace

SplitOptionsParse ParseSplitOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const Option& option : Options) {
        QStringList names{QLatin1String(option.name)};
        if (QLatin1String(option.name) == QLatin1String("help"))
            names << QStringLiteral("h");
        parser.addOption(option.takesValue ? QCommandLineOption(names, QString(), QStringLiteral("value"))
                                           : QCommandLineOption(names));
    }

    SplitOptionsParse parse;
    SplitOptions& options = parse.options;
    // The parser wants the program's name first.
    const bool parsed = parser.parse(QStringList{QStringLiteral("tessel-split")} + arguments);
    options.help = parser.isSet(QStringLiteral("help"));
    options.version = parser.isSet(QStringLiteral("version"));
    // Help and the version answer any half-typed command line.
    if (options.help || options.version)
        return parse;
    if (!parsed) {
        parse.error = parser.errorText();
        return parse;
    }
    options.start = parser.value(QStringLiteral("start"));
    options.end = parser.value(QStringLiteral("end"));
    options.sections = ValueOf(parser, QStringLiteral("sections"));
    options.every = ValueOf(parser, QStringLiteral("every"));
    options.maxSize = ValueOf(parser, QStringLiteral("max-size"));
    options.profile = ValueOf(parser, QStringLiteral("profile"));
    options.output = ValueOf(parser, QStringLiteral("output"));
    if (parser.isSet(QStringLiteral("overwrite")) || parser.isSet(QStringLiteral("no-overwrite")))
        options.overwrite = parser.isSet(QStringLiteral("overwrite"));
    options.dryRun = parser.isSet(QStringLiteral("dry-run"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    parse.error = CheckCombination(parser, options);
    return parse;
}

QString SplitVersionText() {
    return QStringLiteral("tessel-split " TESSEL_VERSION "\n");
}

QString SplitUsageText() {
    return QStringLiteral(
        "Usage: tessel-split SOURCE --start TIME --end TIME\n"
        "                    [--sections N | --every TIME | --max-size SIZE] [--profile NAME]\n"
        "                    [--output DIR] [--overwrite | --no-overwrite] [--dry-run] [--quiet]\n"
        "\n"
        "Splits the range from --start to --end of SOURCE into one clip, into N equal sections, into\n"
        "clips of a chosen length or into clips of at most a chosen size, with an output profile of the\n"
        "program folder. The clips are named SOURCE_Clip1, _Clip2 ...\n"
        "\n"
        "  --start TIME       start of the range, as hours:minutes:seconds (00:01:05, 1:2:3.5)\n"
        "  --end TIME         end of the range, in the same form\n"
        "  --sections N       cut the range into N equal sections instead of one clip\n"
        "  --every TIME       cut the range into clips of this length, in seconds (30) or as a\n"
        "                     time (0:10:00); the last clip holds the rest\n"
        "  --max-size SIZE    cut the range into clips of at most SIZE bytes each, or with K, M or G\n"
        "                     thousands, millions or billions of bytes (25M, 9.5M); only with a\n"
        "                     profile that copies the streams, such as \"Settings of the source file.\"\n"
        "  --profile NAME     the output profile (default: the one chosen last in the window)\n"
        "  --output DIR       the output folder (default: as the window's preferences say)\n"
        "  --overwrite        replace existing clip files without asking\n"
        "  --no-overwrite     ask before replacing one (on a terminal), or skip it\n"
        "  --dry-run          print the encoder's command line of every clip and write nothing\n"
        "  --quiet            print errors only\n"
        "  --help             show this text\n"
        "  --version          show the program's version\n"
        "\n"
        "Only one of --sections, --every and --max-size may be given.\n"
        "Exit codes: 0 done, 1 a clip failed or the run stopped, 2 bad input, 130 interrupted.\n");
}
