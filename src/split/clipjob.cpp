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
    job.commandLine =
        EncoderCommandLine(inputs.sourcePath, job.start, job.length, profileOptions, job.outputPath);
    job.arguments = EncoderArguments(QFileInfo(inputs.sourcePath).absoluteFilePath(), job.start, job.length,
                                     profileOptions, job.outputPath, job.muxer);
    if (maxBytes > 0) {
        // ffmpeg's own limit of the output size, which the front-end keeps exactly for a stream copy; it
        // goes with the options, before the muxer and the output.
        const QStringList limit{QStringLiteral("-fs"), QString::number(maxBytes)};
        const qsizetype at = job.arguments.size() - (job.muxer.isEmpty() ? 1 : 3);
        job.arguments.insert(at, limit.at(1));
        job.arguments.insert(at, limit.at(0));
        const int output = job.commandLine.lastIndexOf(QStringLiteral(" \"") + job.outputPath);
        job.commandLine.insert(output, QLatin1Char(' ') + limit.join(QLatin1Char(' ')));
    }
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
