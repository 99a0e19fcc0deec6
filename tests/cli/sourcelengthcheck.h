#pragma once

#include "app/appcontext.h"
#include "cli/durationprobe.h"
#include "split/earlyfrontend.h"

// A source's length as the build's encoder front-end tells it in a session (nothing where it leaves it to
// ffprobe), and as ffprobe tells it.
struct LengthAnswers {
    std::optional<DurationProbe> told;
    DurationProbe probed;
};
inline LengthAnswers AskFrontEndAndFfprobe(const QString& source) {
    App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
    EarlySessionFrontEnd frontEnd;
    return {DurationFromFrontEnd(frontEnd.AskSourceLength(source, {})), ProbeSourceDuration(source)};
}

// Empty when the front-end told ffprobe's figures or left the question to ffprobe; else both.
inline QString LengthDisagreement(const LengthAnswers& answers) {
    const std::optional<DurationProbe>& told = answers.told;
    if (!told || (told->durationMs == answers.probed.durationMs &&
                  told->frameRate == answers.probed.frameRate && answers.probed.problem.isEmpty()))
        return QString();
    return QStringLiteral("the front-end tells %1 ms at %2 frames a second, ffprobe %3 ms at %4 %5")
        .arg(told->durationMs)
        .arg(told->frameRate)
        .arg(answers.probed.durationMs)
        .arg(answers.probed.frameRate)
        .arg(answers.probed.problem);
}
