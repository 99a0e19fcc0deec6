#include "split/frontendprocess.h"

#include <QTimer>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

std::unique_ptr<QProcess> NewFrontEndProcess() {
    auto frontEnd = std::make_unique<QProcess>();
    frontEnd->setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_LINUX
    // The death signal is kept across the exec, so it reaches the front-end itself.
    frontEnd->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    return frontEnd;
}

namespace {

// The process object lives on until the system has reported the end, so that the process is reaped; its
// signals no longer reach whoever owned it.
void DeleteWhenEnded(std::unique_ptr<QProcess> frontEnd) {
    if (!frontEnd)
        return;
    frontEnd->disconnect();
    if (frontEnd->state() == QProcess::NotRunning)
        return;
    QProcess* ending = frontEnd.release();
    QObject::connect(ending, &QProcess::finished, ending, &QObject::deleteLater);
}

} // namespace

void KillFrontEnd(std::unique_ptr<QProcess> frontEnd) {
    if (frontEnd && frontEnd->state() != QProcess::NotRunning)
        frontEnd->kill();
    DeleteWhenEnded(std::move(frontEnd));
}

void ReleaseFrontEnd(std::unique_ptr<QProcess> frontEnd, int graceMs) {
    if (frontEnd && frontEnd->state() != QProcess::NotRunning)
        QTimer::singleShot(graceMs, frontEnd.get(), [ending = frontEnd.get()] { ending->kill(); });
    DeleteWhenEnded(std::move(frontEnd));
}
