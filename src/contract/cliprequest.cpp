#include "contract/cliprequest.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace Contract {

namespace {

// A plain decimal number of seconds, at least 0: no blanks, signs, exponents, "inf" or hexadecimal.
std::optional<double> ReadSeconds(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find_first_of("0123456789") == std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A whole number of bytes above 0, in plain digits that fit.
std::optional<std::int64_t> ReadBytes(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value <= 0)
        return std::nullopt;
    return value;
}

} // namespace

std::string SecondsText(double seconds) {
    if (!std::isfinite(seconds) || seconds == 0)
        return "0.0";
    char text[400];
    const auto result = std::to_chars(text, text + sizeof(text), seconds, std::chars_format::fixed);
    std::string written(text, result.ptr);
    if (written.find('.') == std::string::npos)
        written += ".0";
    return written;
}

std::vector<std::string> ClipArguments(const ClipRequest& request) {
    std::vector<std::string> arguments;
    if (request.overwrite)
        arguments.push_back("-y");
    arguments.insert(arguments.end(), {"-i", request.source, "-ss", SecondsText(request.start), "-t",
                                       SecondsText(request.length)});
    arguments.insert(arguments.end(), request.options.begin(), request.options.end());
    if (request.maxBytes > 0)
        arguments.insert(arguments.end(), {"-fs", std::to_string(request.maxBytes)});
    if (!request.muxer.empty())
        arguments.insert(arguments.end(), {"-f", request.muxer});
    arguments.push_back(request.output);
    return arguments;
}

ClipParse ParseClipArguments(const std::vector<std::string>& arguments) {
    ClipParse parse;
    ClipRequest request;
    std::size_t at = 0;
    request.overwrite = !arguments.empty() && arguments[0] == "-y";
    if (request.overwrite)
        ++at;
    // The fixed head, then at least the output.
    if (arguments.size() < at + 7 || arguments[at] != "-i" || arguments[at + 2] != "-ss" ||
        arguments[at + 4] != "-t") {
        parse.problem = "the arguments are not those of a clip: -y -i SOURCE -ss START -t LENGTH ... OUTPUT";
        return parse;
    }
    request.source = arguments[at + 1];
    const auto start = ReadSeconds(arguments[at + 3]);
    const auto length = ReadSeconds(arguments[at + 5]);
    if (!start || !length) {
        parse.problem = "the start and length of a clip must be plain numbers of seconds";
        return parse;
    }
    request.start = *start;
    request.length = *length;
    request.options.assign(arguments.begin() + std::ptrdiff_t(at + 6), arguments.end() - 1);
    const auto takeLast = [&options = request.options](const char* option) -> std::optional<std::string> {
        const std::size_t count = options.size();
        if (count < 2 || options[count - 2] != option)
            return std::nullopt;
        std::string value = options.back();
        options.resize(count - 2);
        return value;
    };
    if (auto muxer = takeLast("-f"))
        request.muxer = std::move(*muxer);
    if (const auto limit = takeLast("-fs")) {
        const auto bytes = ReadBytes(*limit);
        if (!bytes) {
            parse.problem = "the size limit of a clip (-fs) must be a whole number of bytes above 0";
            return parse;
        }
        request.maxBytes = *bytes;
    }
    request.output = arguments.back();
    if (request.source.empty() || request.output.empty()) {
        parse.problem = "the source and the clip must be named";
        return parse;
    }
    parse.request = std::move(request);
    return parse;
}

} // namespace Contract
