#pragma once

#include "profiles/profileoptions.h"
#include "split/clipplan.h"
#include "split/sectionvalues.h"

#include <QString>

// The main window's fields that a run starts from, as they stand when Start is clicked.
struct SplitInputs {
    QString sourcePath;
    QString startText;
    QString endText;
    bool oneClip = true;
    // What sectionQtyText holds when the range is not one clip: a count, a clip length or a clip size.
    SectionsMode sectionsMode = SectionsMode::Equal;
    QString sectionQtyText;
    // The bytes of a clip size typed without K, M or G: megabytes in the window, bytes on the command line.
    qint64 sizeUnitBytes = 1000000;
    QString profileName;
    QString outputDirText;
    // The duration of the source loaded in the preview, 0 when none is loaded.
    qint64 sourceDurationMs = 0;
    // The frames a second of the source's video, 0 when unknown (no video, or not told).
    double sourceFrameRate = 0;
};

// The field that gets the keyboard focus after a refused input.
enum class SplitFocus { Stays, Source, SectionQty, Profile, OutputDir };

// Which check refused the inputs.
enum class InputProblem {
    None,
    Source,
    StartUnreadable,
    // A readable start time at or past the source's end (also when no duration is known).
    StartPastEnd,
    EndTime,
    TimeOrder,
    SectionQty,
    ClipLength,
    ClipSize,
    ProfileFile,
    OutputDir,
    ProfileRefused,
};

// The outcome of the checks: either a plan, or the first problem with its message box texts.
struct InputCheck {
    bool ok = false;
    InputProblem problem = InputProblem::None;
    QString message;
    QString caption;
    SplitFocus focus = SplitFocus::Stays;
    ClipPlan plan;
};

// The eight checks, in order; the first that fails decides. The profile file is looked for in the
// program folder's profiles. In sections mode the plan ends at the source's end when the range goes past it.
// Last, a profile whose options were refused ends the run before anything starts, with the reason that
// names the profile item.
InputCheck CheckSplitInputs(const SplitInputs& inputs, const ProfileOptions& profileOptions = {});
