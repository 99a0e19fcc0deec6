#include "platform/platform.h"

#include "app/appcontext.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QTimer>
#include <system_error>
#include <windows.h>
#else
#include "platform/logindpoweroff.h"

#include <QDBusConnection>
#endif

namespace {

class RealMessageBox : public MessageBoxService {
public:
    MsgResult Show(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                   MsgButtons buttons) override {
        QMessageBox box(owner);
        box.setWindowTitle(caption);
        box.setText(text);
        // A path or an address in the text can be copied from it.
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        switch (icon) {
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::None:
            break;
        }
        if (buttons == MsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MsgResult::Ok;
    }
};

class RealShell : public ShellService {
public:
    bool Open(const QString& target) override {
        const QUrl url = target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"))
                             ? QUrl(target)
                             : QUrl::fromLocalFile(target);
        return QDesktopServices::openUrl(url);
    }
};

class RealFolderPicker : public FolderPickerService {
public:
    bool PickExistingFolder(QWidget* owner, const QString& caption, const QString& startFolder,
                            QString& chosen) override {
        const QString folder = QFileDialog::getExistingDirectory(owner, caption, startFolder);
        if (folder.isEmpty())
            return false;
        chosen = QDir::toNativeSeparators(folder);
        return true;
    }
};

class RealFileDialogs : public FileDialogService {
public:
    QString OpenFileName(QWidget* owner, const QString& caption, const QString& filter) override {
        return QDir::toNativeSeparators(
            QFileDialog::getOpenFileName(owner, caption, QString(), Platform::ToQtFilter(filter)));
    }
    QString SaveFileName(QWidget* owner, const QString& caption, const QString& filter,
                         const QString& defaultExtension) override {
        QFileDialog dialog(owner, caption, QString(), Platform::ToQtFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        QString suffix = defaultExtension;
        if (suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }
};

class RealPowerOff : public PowerOffService {
public:
    void PowerOff(std::function<void(const QString& reason)> refused) override {
#ifdef Q_OS_WIN
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
            TOKEN_PRIVILEGES privileges{};
            if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
                privileges.PrivilegeCount = 1;
                privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
                AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
            }
            CloseHandle(token);
        }
        if (!ExitWindowsEx(EWX_POWEROFF, 0)) {
            const QString reason = QString::fromStdString(std::system_category().message(GetLastError()));
            QTimer::singleShot(0, QCoreApplication::instance(), [refused, reason] { refused(reason); });
        }
#else
        Platform::RequestLogindPowerOff(QDBusConnection::systemBus(), std::move(refused));
#endif
    }
};

template <class Service, class Real> struct Slot {
    Real real;
    Service* installed = nullptr;
    Service& Get() { return installed ? *installed : real; }
};

Slot<MessageBoxService, RealMessageBox>& MessageBoxSlot() {
    static Slot<MessageBoxService, RealMessageBox> slot;
    return slot;
}
Slot<ShellService, RealShell>& ShellSlot() {
    static Slot<ShellService, RealShell> slot;
    return slot;
}
Slot<FolderPickerService, RealFolderPicker>& FolderPickerSlot() {
    static Slot<FolderPickerService, RealFolderPicker> slot;
    return slot;
}
Slot<FileDialogService, RealFileDialogs>& FileDialogSlot() {
    static Slot<FileDialogService, RealFileDialogs> slot;
    return slot;
}
Slot<PowerOffService, RealPowerOff>& PowerSlot() {
    static Slot<PowerOffService, RealPowerOff> slot;
    return slot;
}

} // namespace

namespace Platform {

MessageBoxService& MessageBox() {
    return MessageBoxSlot().Get();
}
ShellService& Shell() {
    return ShellSlot().Get();
}
FolderPickerService& FolderPicker() {
    return FolderPickerSlot().Get();
}
FileDialogService& FileDialogs() {
    return FileDialogSlot().Get();
}
PowerOffService& Power() {
    return PowerSlot().Get();
}

void Install(MessageBoxService* service) {
    MessageBoxSlot().installed = service;
}
void Install(ShellService* service) {
    ShellSlot().installed = service;
}
void Install(FolderPickerService* service) {
    FolderPickerSlot().installed = service;
}
void Install(FileDialogService* service) {
    FileDialogSlot().installed = service;
}
void Install(PowerOffService* service) {
    PowerSlot().installed = service;
}

QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // Qt reads the patterns from the last parentheses, so the description's own are left as text.
        entries << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace Platform

void OpenOrShowWhere(QWidget* owner, const QString& target) {
    if (Platform::Shell().Open(target))
        return;
    Platform::MessageBox().Show(
        owner, QStringLiteral("No program could be started to open this. Please open it by hand:\n") + target,
        App().ProductName, MsgIcon::Warning, MsgButtons::Ok);
}

bool PickFolder(QWidget* owner, const QString& caption, const QString& root, QString& folder) {
    if (!QFileInfo(folder).isDir())
        folder.clear();
    QString chosen;
    if (!Platform::FolderPicker().PickExistingFolder(owner, caption, folder.isEmpty() ? root : folder,
                                                     chosen))
        return false;
    folder = chosen;
    return true;
}
