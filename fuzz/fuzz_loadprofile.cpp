// A profile file of arbitrary content, loaded into in-memory working lists, built into encoder options
// and saved back. Refusals come as AppError; anything else, a crash or a hang is a fault.
#include "app/appcontext.h"
#include "app/apperror.h"
#include "fuzzfile.h"
#include "platform/inifile.h"
#include "profiles/profilearguments.h"
#include "profiles/profileworkinglists.h"

#include <cstdlib>

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
    if (!App().OutputExt.startsWith(QLatin1Char('.')))
        std::abort();
    // Every row is an item that [Main] names under a key of its own.
    const int rows = lists.vleVideo.RowCount() + lists.vleAudio.RowCount() + lists.vleAdvanced.RowCount();
    if (rows > IniFile(file.path()).Keys(QStringLiteral("Main")).size())
        std::abort();

    QString arguments;
    try {
        BuildProfileArguments(file.path(), arguments, lists);
    } catch (const AppError&) {
    }
    if (!arguments.isEmpty() && !arguments.startsWith(QLatin1Char(' ')))
        std::abort();

    if (loaded) {
        try {
            lists.SaveProfile(file.path());
        } catch (const AppError&) {
            std::abort(); // the temporary folder is writable
        }
    }
    return 0;
}
