#include "app/apperror.h"
#include "app/userfolder.h"
#include "platform/errorreporter.h"
#include "platform/tesselapplication.h"
#include "ui/forms.h"
#include "ui/mainform.h"
#include "ui/skin.h"

int main(int argc, char** argv) {
    TesselApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tessel.VideoSplitter"));
    QString folderProblem;
    try {
        UserFolder::UseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const AppError& error) {
        folderProblem = error.message();
    }
    Skin::Apply(application);
    const Forms forms(application.arguments().mid(1));
    forms.MainForm->show();
    if (!folderProblem.isEmpty())
        ReportError(folderProblem, forms.MainForm);
    return application.exec();
}
