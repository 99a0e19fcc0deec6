// A program that runs a split with a silent fake encoder and waits; a test kills it to check that the
// encoder does not outlive it.
#include "fakeencoder.h"
#include "recordingview.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    TempProgramDir program;
    program.Write(QStringLiteral("Profiles/MP4.apf"), "[Main]\n");
    QDir().mkpath(program.path() + QStringLiteral("out"));
    FakeEncoder::Install(program, QStringLiteral("while :; do sleep 0.05; done"));

    RecordingView view;
    view.inputs.sourcePath = program.Write(QStringLiteral("talk.avi"), "source");
    view.inputs.startText = QStringLiteral("00:00:00");
    view.inputs.endText = QStringLiteral("00:00:10");
    view.inputs.profileName = QStringLiteral("MP4");
    view.inputs.outputDirText = program.path() + QStringLiteral("out");
    view.inputs.sourceDurationMs = 12000;
    view.outputExt = QStringLiteral(".mp4");
    std::printf("%s\n", qPrintable(program.path()));
    std::fflush(stdout);

    SplitRunner runner(view);
    runner.RunSplit();
    return 0;
}
