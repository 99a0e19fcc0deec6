#include "profiles/savedialog.h"

#include "platform/platform.h"

bool SaveDialog::Execute(QWidget* owner) {
    const QString chosen = Platform::FileDialogs().SaveFileName(owner, QString(), Filter, DefaultExt);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}
