#include "split/frontendprocess.h"

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

void KillFrontEnd(QProcess& frontEnd) {
    frontEnd.kill();
    frontEnd.waitForFinished(10000);
}
