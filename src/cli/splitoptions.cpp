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

} // namespace

SplitOptionsParse ParseSplitOptions(const QStringList& arguments) {
    SplitOptionsParse parse;
    SplitOptions& options = parse.options;
    QStringList positional;
    bool optionsEnded = false;
    std::optional<bool> overwriteSeen;
    bool startSeen = false;
    bool endSeen = false;

    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h")) {
            options.help = true;
            continue;
        }

        const int equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionSpec* spec = FindSpec(name);
        if (!spec) {
            parse.error = QStringLiteral("unknown option %1").arg(name);
            return parse;
        }
        QString value;
        if (spec->takes == Takes::Value) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments.at(++i);
            } else {
                parse.error = QStringLiteral("%1 needs a value").arg(name);
                return parse;
            }
        } else if (equals >= 0) {
            parse.error = QStringLiteral("%1 takes no value").arg(name);
            return parse;
        }

        if (name == QLatin1String("--start")) {
            options.start = value;
            startSeen = true;
        } else if (name == QLatin1String("--end")) {
            options.end = value;
            endSeen = true;
        } else if (name == QLatin1String("--sections")) {
            options.sections = value;
        } else if (name == QLatin1String("--profile")) {
            options.profile = value;
        } else if (name == QLatin1String("--output")) {
            options.output = value;
        } else if (name == QLatin1String("--overwrite") || name == QLatin1String("--no-overwrite")) {
            const bool overwrite = name == QLatin1String("--overwrite");
            if (overwriteSeen && *overwriteSeen != overwrite) {
                parse.error = QStringLiteral("--overwrite and --no-overwrite exclude each other");
                return parse;
            }
            overwriteSeen = overwrite;
            options.overwrite = overwrite;
        } else if (name == QLatin1String("--dry-run")) {
            options.dryRun = true;
        } else if (name == QLatin1String("--quiet")) {
            options.quiet = true;
        } else if (name == QLatin1String("--help")) {
            options.help = true;
        }
    }

    // Help wins over everything else, so that any half-typed command line can ask for it.
    if (options.help)
        return parse;
    if (positional.isEmpty()) {
        parse.error = QStringLiteral("no source video given");
        return parse;
    }
    if (positional.size() > 1) {
        parse.error = QStringLiteral("more than one source given (%1)").arg(positional.at(1));
        return parse;
    }
    options.source = positional.first();
    if (!startSeen) {
        parse.error = QStringLiteral("--start is required");
        return parse;
    }
    if (!endSeen) {
        parse.error = QStringLiteral("--end is required");
        return parse;
    }
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
