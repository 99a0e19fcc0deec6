#include "split/inputcheck.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "app/numbers.h"
#include "app/timetext.h"
#include "split/encodercommand.h"

#include <QFileInfo>
#include <limits>

namespace {

InputCheck Refuse(InputProblem problem, const QString& message, const QString& caption,
                  SplitFocus focus = SplitFocus::Stays) {
    InputCheck check;
    check.problem = problem;
    check.message = message;
    check.caption = caption;
    check.focus = focus;
    return check;
}

// A clip shorter than one frame would repeat a neighbour's frame or hold none. An unknown frame rate (0)
// lets every length pass; the tolerance keeps a clip of exactly one frame, whatever the rounding.
bool ShorterThanAFrame(double seconds, double frameRate) {
    return frameRate > 0 && seconds * frameRate < 1 - 1e-9;
}

} // namespace

InputCheck CheckSplitInputs(const SplitInputs& inputs, const ProfileOptions& profileOptions) {
    if (!SourceFileExists(inputs.sourcePath))
        return Refuse(InputProblem::Source, "Please specify a valid input video file.", "Invalid File",
                      SplitFocus::Source);

    const double start = TimeTextToSeconds(inputs.startText);
    if (start == -1)
        return Refuse(InputProblem::StartUnreadable, "Please varify the Start Time you selected.",
                      "Invalid Start Time");
    if (!(inputs.sourceDurationMs / 1000.0 > start))
        return Refuse(InputProblem::StartPastEnd, "Please varify the Start Time you selected.",
                      "Invalid Start Time");

    const double end = TimeTextToSeconds(inputs.endText);
    if (end == -1 || !(end > 0))
        return Refuse(InputProblem::EndTime, "Please varify the End Time you selected.", "Invalid End Time");

    const double length = end - start;
    if (!(length > 0))
        return Refuse(InputProblem::TimeOrder, "The End Time should be later than the Start Time.",
                      "Invalid Time");

    // Sections share out the part of the range that the source holds; those past its end would be empty.
    // One clip keeps its end as typed: the encoder simply stops where the source does.
    const double duration = inputs.sourceDurationMs / 1000.0;
    const double usedLength = !inputs.oneClip && end > duration ? duration - start : length;

    const double frameSeconds = inputs.sourceFrameRate > 0 ? 1 / inputs.sourceFrameRate : 0;
    int count = 1;
    std::optional<double> every;
    std::optional<qint64> maxBytes;
    if (!inputs.oneClip && inputs.sectionsMode == SectionsMode::Every) {
        every = ParseClipLength(inputs.sectionQtyText);
        // So many clips that they cannot be counted are as wrong as a length of nothing.
        if (!every || ShorterThanAFrame(*every, inputs.sourceFrameRate) ||
            ClipPlan::EveryCount(usedLength, *every, frameSeconds) > std::numeric_limits<int>::max())
            return Refuse(InputProblem::ClipLength, "Please specify a valid clip length.", "Invalid Section",
                          SplitFocus::SectionQty);
    } else if (!inputs.oneClip && inputs.sectionsMode == SectionsMode::Size) {
        maxBytes = ParseClipSize(inputs.sectionQtyText, inputs.sizeUnitBytes);
        if (!maxBytes)
            return Refuse(InputProblem::ClipSize, "Please specify a valid clip size.", "Invalid Section",
                          SplitFocus::SectionQty);
    } else if (!inputs.oneClip) {
        const auto parsed = ParseWholeNumber(inputs.sectionQtyText);
        // No sections at all would make a run that writes nothing and still reports success.
        if (!parsed || *parsed <= 0 || ShorterThanAFrame(usedLength / *parsed, inputs.sourceFrameRate))
            return Refuse(InputProblem::SectionQty, "Please specify a valid section quantity.",
                          "Invalid Section", SplitFocus::SectionQty);
        count = *parsed;
    }

    if (!QFileInfo(App().ProfilePath(inputs.profileName)).isFile())
        return Refuse(InputProblem::ProfileFile, "Please select a valid output profile.",
                      "Invalid Output Path", SplitFocus::Profile);

    if (inputs.outputDirText.isEmpty() || !QFileInfo(inputs.outputDirText).isDir())
        return Refuse(InputProblem::OutputDir, "Please specify a valid output path.", "Invalid Output Path",
                      SplitFocus::OutputDir);

    if (profileOptions.Refused())
        return Refuse(InputProblem::ProfileRefused, profileOptions.Refusal(),
                      QStringLiteral("Invalid Profile"), SplitFocus::Profile);

    // Only copied packets have sizes known before they are written; an encoder's output can only be guessed.
    if (maxBytes && !IsStreamCopy(inputs.profileName, profileOptions))
        return Refuse(InputProblem::ClipSize,
                      QStringLiteral("Clips of a chosen size can only be cut with a profile that copies the "
                                     "streams, such as \"Settings of the source file.\"."),
                      "Invalid Profile", SplitFocus::Profile);

    // The clips of this profile keep the source's extension, which then chooses their container.
    const QString sourceExtension =
        ClipExtension(IsStreamCopy(inputs.profileName, profileOptions), inputs.sourcePath, QString());
    if (!sourceExtension.isEmpty() && ClipMuxer(sourceExtension).isEmpty())
        return Refuse(InputProblem::ProfileRefused,
                      QStringLiteral("The profile \"%1\" keeps the source's container, and \"%2\" is not one "
                                     "that this program writes.")
                          .arg(inputs.profileName, sourceExtension),
                      QStringLiteral("Invalid Profile"), SplitFocus::Profile);

    InputCheck check;
    check.ok = true;
    if (maxBytes)
        check.plan = ClipPlan::BySize(start, usedLength, *maxBytes);
    else if (every)
        check.plan = ClipPlan::Every(start, usedLength, *every, frameSeconds);
    else
        check.plan = ClipPlan(start, usedLength, count, inputs.oneClip);
    return check;
}
