#pragma once

#include <QProcess>
#include <memory>

// A process for the encoder front-end, not yet started: its standard output and error merged into one
// stream, and ended by the kernel should this program itself be killed.
std::unique_ptr<QProcess> NewFrontEndProcess();

// Ends the front-end at once with SIGKILL, whatever it was writing, and waits until it is gone: one that
// ignores a polite request must stop all the same.
void KillFrontEnd(QProcess& frontEnd);
