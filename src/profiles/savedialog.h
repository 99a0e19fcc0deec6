#pragma once

#include <QString>

class QWidget;

// A save-file dialog with its filter and default extension, run through the platform's file dialogs. It
// opens where the system's dialog opens by default and does not ask before replacing a file.
class SaveDialog {
public:
    SaveDialog(const QString& filter, const QString& defaultExt) : Filter(filter), DefaultExt(defaultExt) {}

    QString Filter;
    QString DefaultExt;
    // The name chosen by the last Execute that was confirmed.
    QString FileName;

    // True when the person confirmed a file name.
    bool Execute(QWidget* owner);
};
