#include "sourcelengthcheck.h"

#include "app/appcontext.h"
#include "split/earlyfrontend.h"

LengthAnswers AskFrontEndAndFfprobe(const QString& source) {
    App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
    LengthAnswers answers;
    EarlySessionFrontEnd frontEnd;
    answers.told = DurationFromFrontEnd(frontEnd.AskSourceLength(source, {}));
    answers.probed = ProbeSourceDuration(source);
    return answers;
}

QString LengthDisagreement(const LengthAnswers& answers) {
    if (!answers.told ||
        (answers.told->durationMs == answers.probed.durationMs &&
         answers.told->frameRate == answers.probed.frameRate && answers.probed.problem.isEmpty()))
        return QString();
    return QStringLiteral("the front-end tells %1 ms at %2 frames a second, ffprobe %3 ms at %4 %5")
        .arg(answers.told->durationMs)
        .arg(answers.told->frameRate)
        .arg(answers.probed.durationMs)
        .arg(answers.probed.frameRate)
        .arg(answers.probed.problem);
}
