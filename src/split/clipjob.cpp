#include "split/clipjob.h"

#include "split/encodercommand.h"

#include <QFileInfo>

namespace {

ClipJob MakeJob(const SplitInputs& inputs, int clip, double start, double length, qint64 maxBytes,
                const QString& outputFolder, const ProfileOptions& profileOptions, const QString& outputExt) {
    ClipJob job;
    job.clip = clip;
    job.start = start;
    job.length = length;
    const QString extension =
        ClipExtension(IsStreamCopy(inputs.profileName, profileOptions), inputs.sourcePath, outputExt);
    // Absolute paths: a relative name could start with "-" and be read as an option.
    job.outputPath =
        QFileInfo(ClipOutputPath(outputFolder, inputs.sourcePath, clip, extension)).absoluteFilePath();
    job.muxer = ClipMuxer(extension);
    job.commandLine = EncoderCommandLine(inputs.sourcePath, job.start, job.length, profileOptions,
                                         job.outputPath, maxBytes);
    job.arguments = EncoderArguments(QFileInfo(inputs.sourcePath).absoluteFilePath(), job.start, job.length,
                                     profileOptions, job.outputPath, job.muxer, maxBytes);
    return job;
}

} // namespace

ClipJob MakeClipJob(const SplitInputs& inputs, const ClipPlan& plan, int clip, const QString& outputFolder,
                    const ProfileOptions& profileOptions, const QString& outputExt) {
    return MakeJob(inputs, clip, plan.ClipStart(clip), plan.ClipLength(clip), 0, outputFolder, profileOptions,
                   outputExt);
}

ClipJob MakeSizeClipJob(const SplitInputs& inputs, const ClipPlan& plan, int clip, double start,
                        const QString& outputFolder, const ProfileOptions& profileOptions,
                        const QString& outputExt) {
    return MakeJob(inputs, clip, start, plan.Start() + plan.Length() - start, plan.MaxBytes(), outputFolder,
                   profileOptions, outputExt);
}

void WriteClipTo(ClipJob& job, const QString& path) {
    // The output is always the last argument.
    job.arguments.last() = path;
}
