#include "app/appcontext.h"
#include "platform/tesselapplication.h"
#include "ui/forms.h"
#include "ui/mainform.h"
#include "ui/skin.h"

int main(int argc, char** argv) {
    TesselApplication application(argc, argv);
    App().SetAppDir(QCoreApplication::applicationDirPath());
    Skin::Apply(application);
    CreateForms(application.arguments().mid(1));
    MainForm->show();
    const int result = application.exec();
    DestroyForms();
    return result;
}
