// A profile file of arbitrary content, loaded into in-memory working lists, built into encoder options
// and saved back. Refusals come as AppError; anything else, a crash or a hang is a fault.
#include "app/appcontext.h"
#include "app/apperror.h"
#include "fuzzcheck.h"
#include "fuzzfile.h"
#include "platform/inifile.h"
#include "profiles/profilearguments.h"
#include "profiles/profileworkinglists.h"

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
    FUZZ_CHECK(App().OutputExt.startsWith(QLatin1Char('.')));
    // Every row is an item that [Main] names under a key of its own.
    const int rows = lists.vleVideo.RowCount() + lists.vleAudio.RowCount() + lists.vleAdvanced.RowCount();
    FUZZ_CHECK(rows <= IniFile(file.path()).Keys(QStringLiteral("Main")).size());

    QString arguments;
    try {
        BuildProfileArguments(file.path(), arguments, lists);
    } catch (const AppError&) {
    }
    FUZZ_CHECK(arguments.isEmpty() || arguments.startsWith(QLatin1Char(' ')));

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
