// A profile file of arbitrary content, loaded into in-memory working lists, built into encoder options
// and saved back. Refusals come as AppError or as a refused profile; anything else, a crash or a hang is a
// fault. Options that are not refused must pass the encoder front-end's own check, with one input and one
// output.
#include "app/apperror.h"
#include "argumentcheck.h"
#include "contract/mediaformats.h"
#include "fuzzcheck.h"
#include "fuzzfile.h"
#include "platform/inifile.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "split/encodercommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFile file(QStringLiteral(".apf"));
    file.Write(data, size);

    ProfileWorkingLists lists;
    bool loaded = true;
    try {
        lists.LoadProfile(file.path());
    } catch (const AppError&) {
        loaded = false;
    }
    // No extension at all, or a dot and a Type that names a container we write.
    const QString extension = lists.OutputExt();
    FUZZ_CHECK(extension.isEmpty() || (extension.startsWith(QLatin1Char('.')) &&
                                       Contract::TypeRefusal(extension.mid(1).toStdString()).empty()));
    // Every row is an item that [Main] names under a key of its own.
    const int rows = lists.vleVideo.RowCount() + lists.vleAudio.RowCount() + lists.vleAdvanced.RowCount();
    FUZZ_CHECK(rows <= IniFile(file.path()).Keys(QStringLiteral("Main")).size());

    ProfileOptions options;
    try {
        BuildProfileArguments(file.path(), options, lists);
    } catch (const AppError&) {
    }
    const QString text = options.Text();
    FUZZ_CHECK(text.isEmpty() || text.startsWith(QLatin1Char(' ')));
    if (!options.Refused()) {
        std::vector<std::string> clip;
        for (const QString& argument :
             EncoderArguments(QStringLiteral("/v/talk.avi"), 1.5, 3, options,
                              QStringLiteral("/c/talk_Clip1.avi"), QStringLiteral("avi")))
            clip.push_back(argument.toStdString());
        // The front-end's own check lets through every clip that the profile reader allowed.
        const EncoderFrontEnd::CheckedClip checked = EncoderFrontEnd::CheckClipArguments(clip);
        FUZZ_CHECK(checked.problem.empty());
        FUZZ_CHECK(checked.request.source == "/v/talk.avi" && checked.request.output == "/c/talk_Clip1.avi");
    }

    // The temporary folder is writable: a save must not fail.
    if (loaded) {
        bool saved = false;
        try {
            lists.SaveProfile(file.path());
            saved = true;
        } catch (const AppError&) {
        }
        FUZZ_CHECK(saved);
    }
    return 0;
}
