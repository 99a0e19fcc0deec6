#include "cli/splitoptions.h"

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
    const char* name;
    Takes takes;
};

constexpr OptionSpec Specs[] = {
    {"--start", Takes::Value},          {"--end", Takes::Value},       {"--sections", Takes::Value},
    {"--profile", Takes::Value},        {"--output", Takes::Value},    {"--overwrite", Takes::Nothing},
    {"--no-overwrite", Takes::Nothing}, {"--dry-run", Takes::Nothing}, {"--quiet", Takes::Nothing},
    {"--help", Takes::Nothing},
};

const OptionSpec* FindSpec(const QString& name) {
    for (const OptionSpec& spec : Specs)
        if (name == QLatin1String(spec.name))
            return &spec;
    return nullptr;
}

// The required options seen so far: their values may be empty.
struct Seen {
    bool start = false;
    bool end = false;
};

// Sets what the option stands for; returns the problem, or an empty text.
QString Apply(const QString& name, const QString& value, SplitOptions& options, Seen& seen) {
    if (name == QLatin1String("--start")) {
        options.start = value;
        seen.start = true;
    } else if (name == QLatin1String("--end")) {
        options.end = value;
        seen.end = true;
    } else if (name == QLatin1String("--sections")) {
        options.sections = value;
    } else if (name == QLatin1String("--profile")) {
        options.profile = value;
    } else if (name == QLatin1String("--output")) {
        options.output = value;
    } else if (name == QLatin1String("--overwrite") || name == QLatin1String("--no-overwrite")) {
        const bool overwrite = name == QLatin1String("--overwrite");
        if (options.overwrite && *options.overwrite != overwrite)
            return QStringLiteral("--overwrite and --no-overwrite exclude each other");
        options.overwrite = overwrite;
    } else if (name == QLatin1String("--dry-run")) {
        options.dryRun = true;
    } else if (name == QLatin1String("--quiet")) {
        options.quiet = true;
    } else if (name == QLatin1String("--help")) {
        options.help = true;
    }
    return QString();
}

// Reads the option at arguments[i], and its value, which moves i on when it is the next argument. Returns
// the problem, or an empty text.
QString ReadOption(const QStringList& arguments, int& i, SplitOptions& options, Seen& seen) {
    const QString& argument = arguments.at(i);
    const int equals = argument.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? argument : argument.left(equals);
    const OptionSpec* spec = FindSpec(name);
    if (!spec)
        return QStringLiteral("unknown option %1").arg(name);
    QString value;
    if (spec->takes == Takes::Value) {
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments.at(++i);
        else
            return QStringLiteral("%1 needs a value").arg(name);
    } else if (equals >= 0) {
        return QStringLiteral("%1 takes no value").arg(name);
    }
    return Apply(name, value, options, seen);
}

// The source and the required options, once every argument has been read.
QString CheckComplete(const QStringList& positional, const Seen& seen, SplitOptions& options) {
    if (positional.isEmpty())
        return QStringLiteral("no source video given");
    if (positional.size() > 1)
        return QStringLiteral("more than one source given (%1)").arg(positional.at(1));
    options.source = positional.first();
    if (!seen.start)
        return QStringLiteral("--start is required");
    if (!seen.end)
        return QStringLiteral("--end is required");
    return QString();
}

} // namespace

SplitOptionsParse ParseSplitOptions(const QStringList& arguments) {
    SplitOptionsParse parse;
    QStringList positional;
    bool optionsEnded = false;
    Seen seen;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            positional << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h")) {
            parse.options.help = true;
        } else {
            parse.error = ReadOption(arguments, i, parse.options, seen);
            if (!parse.error.isEmpty())
                return parse;
        }
    }
    // Help wins over everything else, so that any half-typed command line can ask for it.
    if (!parse.options.help)
        parse.error = CheckComplete(positional, seen, parse.options);
    return parse;
}

QString SplitUsageText() {
    return QStringLiteral(
        "Usage: tessel-split SOURCE --start TIME --end TIME [--sections N] [--profile NAME]\n"
        "                    [--output DIR] [--overwrite | --no-overwrite] [--dry-run] [--quiet]\n"
        "\n"
        "Splits the range from --start to --end of SOURCE into one clip, or into N equal sections,\n"
        "with an output profile of the program folder. The clips are named SOURCE_Clip1, _Clip2 ...\n"
        "\n"
        "  --start TIME       start of the range, as hours:minutes:seconds (00:01:05, 1:2:3.5)\n"
        "  --end TIME         end of the range, in the same form\n"
        "  --sections N       cut the range into N equal sections instead of one clip\n"
        "  --profile NAME     the output profile (default: the one chosen last in the window)\n"
        "  --output DIR       the output folder (default: as the window's preferences say)\n"
        "  --overwrite        replace existing clip files without asking\n"
        "  --no-overwrite     ask before replacing one (on a terminal), or skip it\n"
        "  --dry-run          print the encoder's command line of every clip and write nothing\n"
        "  --quiet            print errors only\n"
        "  --help             show this text\n"
        "\n"
        "Exit codes: 0 done, 1 a clip failed or the run stopped, 2 bad input, 130 interrupted.\n");
}
