#include "clipsession.h"

namespace EncoderFrontEnd {

std::optional<std::vector<std::string>> ReadClipArguments(std::FILE* input) {
    std::vector<std::string> arguments;
    std::string argument;
    for (int character; (character = std::fgetc(input)) != EOF;) {
        if (character != '\0') {
            argument += char(character);
            continue;
        }
        if (argument.empty())
            return arguments;
        arguments.push_back(std::move(argument));
        argument.clear();
    }
    return std::nullopt;
}

} // namespace EncoderFrontEnd
