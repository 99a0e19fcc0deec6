#include "contract/optionrules.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace Contract {

namespace {

enum class ValueKind { None, Word, StreamMap, Filters, CutPoints };

struct Rule {
    ValueKind kind = ValueKind::None;
    // The option may name its streams, as in -c:v or -b:a:1.
    bool perStream = false;
};

const std::map<std::string, Rule, std::less<>>& Rules() {
    static const std::map<std::string, Rule, std::less<>> rules = [] {
        std::map<std::string, Rule, std::less<>> table;
        const auto add = [&table](std::initializer_list<const char*> names, ValueKind kind, bool perStream) {
            for (const char* name : names)
                table.emplace(std::string("-") + name, Rule{kind, perStream});
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
        // A limit of the clip's size in bytes, as the runner sets for clips of a chosen size (ClipRequest's
        // maxBytes); a profile may pass one too.
        add({"fs"}, ValueKind::Word, false);
        add({"vf", "af"}, ValueKind::Filters, false);
        add({"filter"}, ValueKind::Filters, true);
        add({"cut_points"}, ValueKind::CutPoints, false);
        return table;
    }();
    return rules;
}

const std::set<std::string, std::less<>>& AllowedFilters() {
    static const std::set<std::string, std::less<>> filters{
        "scale",     "yadif", "bwdif",     "volume",   "setsar",   "setdar", "fps",
        "crop",      "pad",   "transpose", "hflip",    "vflip",    "format", "aformat",
        "aresample", "null",  "anull",     "realtime", "arealtime"};
    return filters;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// A stream specifier: "v", "a:1", "0"; the kinds v, V, a, s, d and t.
bool IsStreamSpecifier(std::string_view text) {
    if (AllDigits(text))
        return true;
    if (text.empty() || std::string_view("vVasdt").find(text[0]) == std::string_view::npos)
        return false;
    return text.size() == 1 || (text[1] == ':' && AllDigits(text.substr(2)));
}

// The rule of an option, with a stream specifier allowed where the option takes one.
const Rule* RuleOf(std::string_view option) {
    const std::size_t colon = option.find(':');
    const auto found = Rules().find(option.substr(0, colon));
    if (found == Rules().end())
        return nullptr;
    if (colon != std::string_view::npos &&
        (!found->second.perStream || !IsStreamSpecifier(option.substr(colon + 1))))
        return nullptr;
    return &found->second;
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == b;
           }) != text.end();
}

std::string FiltersRefusal(const std::string& option, std::string_view graph) {
    // Quotes, escapes, labels and several chains are what would let a filter reach past the plain chain.
    const bool printable =
        std::all_of(graph.begin(), graph.end(), [](char c) { return c >= ' ' && c <= '~'; });
    if (!printable || graph.find_first_of(";[]'\"\\") != std::string_view::npos)
        return "the filters of " + Quoted(option) +
               " must be a plain chain such as scale=640:-2,setsar=1, without quotes, brackets, backslashes "
               "or \";\"";
    std::size_t begin = 0;
    while (begin <= graph.size()) {
        const std::size_t end = std::min(graph.find(',', begin), graph.size());
        const std::string_view filter = Trimmed(graph.substr(begin, end - begin));
        begin = end + 1;
        if (filter.empty())
            return "the filters of " + Quoted(option) + " hold an empty filter";
        const std::size_t equals = filter.find('=');
        // A filter may carry an instance name: scale@small.
        std::string_view name = Trimmed(filter.substr(0, equals));
        name = name.substr(0, name.find('@'));
        if (AllowedFilters().find(name) == AllowedFilters().end())
            return "the filter " + Quoted(name) + " is not one that a profile may use";
        if (equals == std::string_view::npos)
            continue;
        std::string_view arguments = filter.substr(equals + 1);
        std::size_t at = 0;
        while (at <= arguments.size()) {
            const std::size_t stop = std::min(arguments.find(':', at), arguments.size());
            const std::string_view argument = arguments.substr(at, stop - at);
            at = stop + 1;
            const std::size_t keyEnd = argument.find('=');
            if (keyEnd == std::string_view::npos)
                continue;
            const std::string_view key = Trimmed(argument.substr(0, keyEnd));
            if (ContainsNoCase(key, "file") || ContainsNoCase(key, "url"))
                return "the filter option " + Quoted(key) + " of " + Quoted(name) + " could name a file";
        }
    }
    return std::string();
}

bool IsWord(std::string_view value) {
    return !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return IsAlnum(c) || std::string_view("_.:/+*-").find(c) != std::string_view::npos;
    });
}

// "0", "0:v", "0:a:1", each optionally ending in "?".
bool IsStreamMap(std::string_view value) {
    if (!value.empty() && value.back() == '?')
        value.remove_suffix(1);
    if (value.empty() || value[0] != '0')
        return false;
    if (value.size() == 1)
        return true;
    return value[1] == ':' && value.size() > 2 && std::all_of(value.begin() + 2, value.end(), [](char c) {
               return IsAlnum(c) || c == '_' || c == '.' || c == ':';
           });
}

std::string ValueRefusal(const std::string& option, ValueKind kind, const std::string& value) {
    if (!value.empty() && value[0] == '-')
        return "the value " + Quoted(value) + " of " + Quoted(option) + " begins with \"-\"";
    if (value.find("://") != std::string::npos)
        return "the value of " + Quoted(option) + " names a URL";
    switch (kind) {
    case ValueKind::Word:
        if (!IsWord(value))
            return "the value " + Quoted(value) + " of " + Quoted(option) + " is not a single word";
        return std::string();
    case ValueKind::StreamMap:
        if (!IsStreamMap(value))
            return Quoted(option) + " takes only streams of the source, such as 0, 0:v or 0:a:1, not " +
                   Quoted(value);
        return std::string();
    case ValueKind::CutPoints:
        if (value != "exact" && value != "keyframes")
            return Quoted(option) + " takes \"exact\" or \"keyframes\", not " + Quoted(value);
        return std::string();
    case ValueKind::Filters:
        return FiltersRefusal(option, value);
    case ValueKind::None:
        break;
    }
    return std::string();
}

} // namespace

std::string OptionRefusal(const std::string& option, const std::optional<std::string>& value) {
    // Anything else in that place would be taken for another output file.
    if (option.size() < 2 || option[0] != '-')
        return Quoted(option) + " stands where an option belongs";
    const Rule* rule = RuleOf(option);
    if (!rule)
        return Quoted(option) + " is not an option that a profile may pass";
    if (rule->kind == ValueKind::None) {
        if (value)
            return Quoted(option) + " takes no value, so " + Quoted(*value) +
                   " would stand where an option belongs";
        return std::string();
    }
    if (!value || value->empty())
        return Quoted(option) + " needs a value";
    return ValueRefusal(option, rule->kind, *value);
}

bool OptionTakesValue(const std::string& option) {
    const Rule* rule = RuleOf(option);
    return rule && rule->kind != ValueKind::None;
}

} // namespace Contract
