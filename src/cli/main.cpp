#include "cli/splitcommand.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return RunSplitCommand(application.arguments().mid(1));
}
