#include "testdoubles.h"

MsgResult MessageBoxDouble::Show(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                                 MsgButtons buttons) {
    const Call call{owner, text, caption, icon, buttons};
    calls << call;
    if (whileOpen)
        whileOpen(call);
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

QStringList MessageBoxDouble::Texts() const {
    QStringList texts;
    for (const Call& call : calls)
        texts << call.text;
    return texts;
}

bool FolderPickerDouble::PickExistingFolder(QWidget*, const QString& caption, const QString&,
                                            QString& chosen) {
    ++calls;
    lastCaption = caption;
    if (answer.isEmpty())
        return false;
    chosen = answer;
    return true;
}

QString FileDialogDouble::OpenFileName(QWidget*, const QString&, const QString& filter) {
    filters << filter;
    return openAnswer;
}

QString FileDialogDouble::SaveFileName(QWidget*, const QString&, const QString& filter,
                                       const QString& defaultExtension) {
    filters << filter;
    lastDefaultExtension = defaultExtension;
    return saveAnswer;
}

PlatformDoubles::PlatformDoubles() {
    Platform::Install(&messages);
    Platform::Install(&shell);
    Platform::Install(&folders);
    Platform::Install(&files);
    Platform::Install(&power);
}

PlatformDoubles::~PlatformDoubles() {
    Platform::Install(static_cast<MessageBoxService*>(nullptr));
    Platform::Install(static_cast<ShellService*>(nullptr));
    Platform::Install(static_cast<FolderPickerService*>(nullptr));
    Platform::Install(static_cast<FileDialogService*>(nullptr));
    Platform::Install(static_cast<PowerOffService*>(nullptr));
}
