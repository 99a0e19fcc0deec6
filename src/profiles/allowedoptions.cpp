#include "profiles/allowedoptions.h"

#include "profiles/profileoptions.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <initializer_list>

namespace {

enum class ValueKind { None, Word, StreamMap, Filters, CutPoints };

struct Rule {
    ValueKind kind = ValueKind::None;
    // The option may name its streams, as in -c:v or -b:a:1.
    bool perStream = false;
};

const QHash<QString, Rule>& Rules() {
    static const QHash<QString, Rule> rules = [] {
        QHash<QString, Rule> table;
        const auto add = [&table](std::initializer_list<const char*> names, ValueKind kind, bool perStream) {
            for (const char* name : names)
                table.insert(QLatin1Char('-') + QLatin1String(name), Rule{kind, perStream});
        };
        add({"c", "codec", "vcodec", "acodec", "scodec", "tag", "vtag", "atag"}, ValueKind::Word, true);
        add({"b", "ab", "maxrate", "minrate", "bufsize", "crf", "qp", "q", "qscale", "aq", "qmin", "qmax",
             "global_quality", "compression_level", "vbr", "deadline", "cpu-used"},
            ValueKind::Word, true);
        add({"s", "r", "aspect", "ac", "ar"}, ValueKind::Word, true);
        add({"preset", "tune", "profile", "level"}, ValueKind::Word, true);
        add({"pix_fmt"}, ValueKind::Word, true);
        add({"map"}, ValueKind::StreamMap, false);
        add({"vn", "an", "sn", "dn", "ignore_unknown", "bitexact"}, ValueKind::None, false);
        add({"movflags"}, ValueKind::Word, false);
        add({"vf", "af"}, ValueKind::Filters, false);
        add({"filter"}, ValueKind::Filters, true);
        add({"cut_points"}, ValueKind::CutPoints, false);
        return table;
    }();
    return rules;
}

const QSet<QString>& AllowedFilters() {
    static const QSet<QString> filters{"scale",  "yadif",   "bwdif",     "volume",    "setsar", "setdar",
                                       "fps",    "crop",    "pad",       "transpose", "hflip",  "vflip",
                                       "format", "aformat", "aresample", "null",      "anull"};
    return filters;
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The rule of an option, with a stream specifier (":v", ":a:1", ":0") allowed where the option takes one.
const Rule* RuleOf(const QString& option) {
    static const QRegularExpression streams(QStringLiteral(R"(^([vVasdt](:\d+)?|\d+)$)"));
    const qsizetype colon = option.indexOf(QLatin1Char(':'));
    const auto found = Rules().constFind(option.left(colon));
    if (found == Rules().constEnd())
        return nullptr;
    if (colon >= 0 && (!found->perStream || !streams.match(option.mid(colon + 1)).hasMatch()))
        return nullptr;
    return &*found;
}

QString FiltersRefusal(const QString& option, const QString& graph) {
    static const QRegularExpression printable(QStringLiteral(R"(^[ -~]*$)"));
    static const QRegularExpression special(QStringLiteral(R"([;\[\]'"\\])"));
    // Quotes, escapes, labels and several chains are what would let a filter reach past the plain chain.
    if (!printable.match(graph).hasMatch() || graph.contains(special))
        return QStringLiteral(
                   "the filters of %1 must be a plain chain such as scale=640:-2,setsar=1, without "
                   "quotes, brackets, backslashes or \";\"")
            .arg(Quoted(option));
    for (const QString& part : graph.split(QLatin1Char(','))) {
        const QString filter = part.trimmed();
        if (filter.isEmpty())
            return QStringLiteral("the filters of %1 hold an empty filter").arg(Quoted(option));
        const qsizetype equals = filter.indexOf(QLatin1Char('='));
        // A filter may carry an instance name: scale@small.
        const QString name = filter.left(equals).trimmed().section(QLatin1Char('@'), 0, 0);
        if (!AllowedFilters().contains(name))
            return QStringLiteral("the filter %1 is not one that a profile may use").arg(Quoted(name));
        if (equals < 0)
            continue;
        for (const QString& argument : filter.mid(equals + 1).split(QLatin1Char(':'))) {
            const qsizetype keyEnd = argument.indexOf(QLatin1Char('='));
            if (keyEnd < 0)
                continue;
            const QString key = argument.left(keyEnd).trimmed();
            if (key.contains(QLatin1String("file"), Qt::CaseInsensitive) ||
                key.contains(QLatin1String("url"), Qt::CaseInsensitive))
                return QStringLiteral("the filter option %1 of %2 could name a file")
                    .arg(Quoted(key), Quoted(name));
        }
    }
    return QString();
}

QString ValueRefusal(const QString& option, ValueKind kind, const QString& value) {
    static const QRegularExpression word(QStringLiteral(R"(^[A-Za-z0-9_.:/+*-]+$)"));
    static const QRegularExpression streamMap(QStringLiteral(R"(^0(:[A-Za-z0-9_.:]+)?\??$)"));
    if (value.startsWith(QLatin1Char('-')))
        return QStringLiteral("the value %1 of %2 begins with \"-\"").arg(Quoted(value), Quoted(option));
    if (value.contains(QLatin1String("://")))
        return QStringLiteral("the value of %1 names a URL").arg(Quoted(option));
    switch (kind) {
    case ValueKind::Word:
        if (!word.match(value).hasMatch())
            return QStringLiteral("the value %1 of %2 is not a single word")
                .arg(Quoted(value), Quoted(option));
        return QString();
    case ValueKind::StreamMap:
        if (!streamMap.match(value).hasMatch())
            return QStringLiteral("%1 takes only streams of the source, such as 0, 0:v or 0:a:1, not %2")
                .arg(Quoted(option), Quoted(value));
        return QString();
    case ValueKind::CutPoints:
        if (value != QLatin1String("exact") && value != QLatin1String("keyframes"))
            return QStringLiteral("%1 takes \"exact\" or \"keyframes\", not %2")
                .arg(Quoted(option), Quoted(value));
        return QString();
    case ValueKind::Filters:
        return FiltersRefusal(option, value);
    case ValueKind::None:
        break;
    }
    return QString();
}

} // namespace

QString ProfileOptionRefusal(const ProfileOption& option) {
    const QString& name = option.option;
    // Anything else in that place would be taken for another output file.
    if (!name.startsWith(QLatin1Char('-')) || name.size() < 2)
        return QStringLiteral("%1 stands where an option belongs").arg(Quoted(name));
    const Rule* rule = RuleOf(name);
    if (!rule)
        return QStringLiteral("%1 is not an option that a profile may pass").arg(Quoted(name));
    if (rule->kind == ValueKind::None) {
        if (option.value)
            return QStringLiteral("%1 takes no value, so %2 would stand where an option belongs")
                .arg(Quoted(name), Quoted(*option.value));
        return QString();
    }
    if (!option.value || option.value->isEmpty())
        return QStringLiteral("%1 needs a value").arg(Quoted(name));
    return ValueRefusal(name, rule->kind, *option.value);
}
