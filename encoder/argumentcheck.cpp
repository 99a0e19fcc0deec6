#include "argumentcheck.h"

#include <set>

namespace EncoderFrontEnd {

namespace {

// ffmpeg 5.1's options that take no value; each boolean one also has a "no" form (-nostats).
const std::set<std::string>& BooleanOptions() {
    static const std::set<std::string> options{"y",
                                               "n",
                                               "vn",
                                               "an",
                                               "sn",
                                               "dn",
                                               "hide_banner",
                                               "stats",
                                               "stdin",
                                               "xerror",
                                               "copyts",
                                               "start_at_zero",
                                               "debug_ts",
                                               "benchmark",
                                               "benchmark_all",
                                               "dump",
                                               "hex",
                                               "re",
                                               "shortest",
                                               "bitexact",
                                               "copyinkf",
                                               "accurate_seek",
                                               "ignore_unknown",
                                               "copy_unknown",
                                               "recast_media",
                                               "find_stream_info",
                                               "psnr",
                                               "qphist",
                                               "force_fps",
                                               "fix_sub_duration",
                                               "auto_conversion_filters"};
    return options;
}

bool TakesNoValue(const std::string& option) {
    // ffmpeg looks an option up by its name before any stream specifier (-vn:0 is -vn).
    const std::string name = option.substr(1, option.find(':') - 1);
    if (name == "report" || name == "vstats" || BooleanOptions().count(name) > 0)
        return true;
    // The "no" forms of the boolean options that otherwise take a value.
    if (name == "noautorotate" || name == "noautoscale")
        return true;
    return name.size() > 2 && name.compare(0, 2, "no") == 0 && BooleanOptions().count(name.substr(2)) > 0;
}

} // namespace

FileCount CountFiles(const std::vector<std::string>& arguments) {
    FileCount count;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // As ffmpeg reads them: "-" alone is an output (standard output), and so is every bare word.
        if (argument.size() < 2 || argument[0] != '-') {
            ++count.outputs;
            continue;
        }
        if (argument == "-i")
            ++count.inputs;
        if (!TakesNoValue(argument))
            ++i;
    }
    return count;
}

std::string FileCountProblem(const std::vector<std::string>& arguments) {
    const FileCount count = CountFiles(arguments);
    if (count.inputs > 1)
        return "refused: " + std::to_string(count.inputs) + " input files were given; a clip reads one";
    if (count.outputs > 1)
        return "refused: " + std::to_string(count.outputs) + " output files were given; a clip writes one";
    return std::string();
}

} // namespace EncoderFrontEnd
