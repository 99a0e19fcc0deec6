#include "cli/headlessinputs.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "cli/splitoptions.h"
#include "prefs/preferences.h"

#include <QFileInfo>

namespace {

QString Absolute(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace

QStringList ProgramProfileNames() {
    QStringList names;
    try {
        for (const QString& file : ListFilesByExtension(App().ProfilesDir(), QStringLiteral(".apf")))
            names << RemoveExtension(file);
    } catch (const std::exception&) {
        // No profiles folder: no profile can be chosen, and the run's check says so.
    }
    return names;
}

HeadlessInputs ResolveHeadlessInputs(const SplitOptions& options, const Preferences& preferences,
                                     const QStringList& profileNames) {
    HeadlessInputs resolved;
    SplitInputs& inputs = resolved.inputs;
    inputs.sourcePath = Absolute(options.source);
    inputs.startText = options.start;
    inputs.endText = options.end;
    inputs.oneClip = !options.sections && !options.every && !options.maxSize;
    inputs.sectionsMode = options.every     ? SectionsMode::Every
                          : options.maxSize ? SectionsMode::Size
                                            : SectionsMode::Equal;
    inputs.sectionQtyText =
        options.sections.value_or(options.every.value_or(options.maxSize.value_or(QString())));
    // A size without K, M or G counts bytes here; the window's field counts megabytes.
    inputs.sizeUnitBytes = 1;

    if (options.profile) {
        inputs.profileName = *options.profile;
    } else if (preferences.Profile >= 0 && preferences.Profile < profileNames.size()) {
        inputs.profileName = profileNames.at(preferences.Profile);
    } else if (!profileNames.isEmpty()) {
        inputs.profileName = profileNames.first();
    }

    if (options.output)
        inputs.outputDirText = Absolute(*options.output);
    else if (preferences.Aptotic)
        inputs.outputDirText = Absolute(preferences.OutputDir);
    else
        inputs.outputDirText = EnsureTrailingBackslash(FolderOf(inputs.sourcePath));

    resolved.overwrite = options.overwrite.value_or(preferences.Overwrite);
    return resolved;
}
