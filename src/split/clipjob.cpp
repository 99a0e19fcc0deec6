#include "split/clipjob.h"

#include "split/encodercommand.h"

ClipJob MakeClipJob(const SplitInputs& inputs, const ClipPlan& plan, int clip, const QString& outputFolder,
                    const ProfileOptions& profileOptions, const QString& outputExt) {
    ClipJob job;
    job.clip = clip;
    job.start = plan.ClipStart(clip);
    job.length = plan.ClipLength(clip);
    job.outputPath = ClipOutputPath(outputFolder, inputs.sourcePath, clip,
                                    ClipExtension(inputs.profileName, inputs.sourcePath, outputExt));
    job.commandLine =
        EncoderCommandLine(inputs.sourcePath, job.start, job.length, profileOptions, job.outputPath);
    job.arguments =
        EncoderArguments(inputs.sourcePath, job.start, job.length, profileOptions, job.outputPath);
    return job;
}
