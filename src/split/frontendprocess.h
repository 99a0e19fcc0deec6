#pragma once

#include <QProcess>
#include <memory>

// A process for the encoder front-end, not yet started: its standard output and error merged into one
// stream, and ended by the kernel should this program itself be killed.
std::unique_ptr<QProcess> NewFrontEndProcess();

// Ends the front-end at once with SIGKILL, whatever it was writing: one that ignores a polite request must
// stop all the same. Nothing waits for it: the process object goes once the system reports the end, so
// the window never blocks on a front-end that is slow to die.
void KillFrontEnd(std::unique_ptr<QProcess> frontEnd);

// Lets a front-end whose input has ended finish on its own; one still running after graceMs is killed.
// Nothing waits for it either.
void ReleaseFrontEnd(std::unique_ptr<QProcess> frontEnd, int graceMs);
