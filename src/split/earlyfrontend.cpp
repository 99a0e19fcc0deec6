#include "split/earlyfrontend.h"

#include "app/appcontext.h"
#include "split/frontendprocess.h"

#include "contract/sessionprotocol.h"

namespace {

std::unique_ptr<QProcess>& Waiting() {
    static std::unique_ptr<QProcess> frontEnd;
    return frontEnd;
}

} // namespace

void StartSessionFrontEnd(QProcess& frontEnd) {
    frontEnd.start(App().EncoderPath, {QString::fromLatin1(Contract::ClipsOption)});
}

EarlySessionFrontEnd::EarlySessionFrontEnd() {
    Waiting() = NewFrontEndProcess();
    StartSessionFrontEnd(*Waiting());
}

EarlySessionFrontEnd::~EarlySessionFrontEnd() {
    if (const std::unique_ptr<QProcess> unused = Take()) {
        unused->kill();
        unused->waitForFinished();
    }
}

std::unique_ptr<QProcess> EarlySessionFrontEnd::Take() {
    std::unique_ptr<QProcess> frontEnd = std::move(Waiting());
    if (frontEnd && frontEnd->state() == QProcess::NotRunning)
        frontEnd.reset();
    return frontEnd;
}
