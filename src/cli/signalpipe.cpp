#include "cli/signalpipe.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t receivedSignal = 0;
int pipeEnds[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;
struct sigaction previousPipe;

extern "C" void OnStopSignal(int number) {
    const int savedErrno = errno;
    if (receivedSignal == 0)
        receivedSignal = number;
    if (pipeEnds[1] >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up; losing this byte changes nothing.
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
    }
    errno = savedErrno;
}

// Writing to a closed output pipe must not kill the program in the middle of a run and orphan the
// encoder; the write just fails. A handler rather than SIG_IGN, since an ignored signal would be inherited
// by the encoder across its exec.
extern "C" void OnBrokenPipe(int) {}

void Install(int number, void (*handler)(int), struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, previous);
}

} // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent) {
    receivedSignal = 0;
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0) {
        notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &SignalPipe::Drain);
    }
    Install(SIGINT, OnStopSignal, &previousInt);
    Install(SIGTERM, OnStopSignal, &previousTerm);
    Install(SIGPIPE, OnBrokenPipe, &previousPipe);
}

SignalPipe::~SignalPipe() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGPIPE, &previousPipe, nullptr);
    delete notifier;
    for (int& end : pipeEnds) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

bool SignalPipe::Pending() {
    return receivedSignal != 0;
}

int SignalPipe::Received() {
    return receivedSignal;
}

void SignalPipe::Drain() {
    char buffer[64];
    while (read(pipeEnds[0], buffer, sizeof(buffer)) > 0) {
    }
    emit Interrupted();
}
