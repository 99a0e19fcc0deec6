#pragma once

#include <QString>
#include <functional>

class QWidget;

// The services that stand in for the operating system's dialogs, shell and power control. Each has a real
// implementation and a test double (tests/support); tests install the doubles, so no test ever opens a
// modal box, a browser or a file manager, or powers anything off.

enum class MsgIcon { None, Information, Question, Warning, Stop };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MsgResult Show(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

// Asks the desktop to "open" a file, a folder, a "mailto:" address or a web page.
class ShellService {
public:
    virtual ~ShellService() = default;
    // False when no program could be started for it.
    virtual bool Open(const QString& target) = 0;
};

class FolderPickerService {
public:
    virtual ~FolderPickerService() = default;
    // True and the chosen folder, or false when the person cancelled.
    virtual bool PickExistingFolder(QWidget* owner, const QString& caption, const QString& startFolder,
                                    QString& chosen) = 0;
};

// Filters are given in the "Description|pattern;pattern|Description|pattern" form.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen file, or an empty text when cancelled.
    virtual QString OpenFileName(QWidget* owner, const QString& caption, const QString& filter) = 0;
    // The chosen file with defaultExtension added when typed without one, or empty when cancelled.
    virtual QString SaveFileName(QWidget* owner, const QString& caption, const QString& filter,
                                 const QString& defaultExtension) = 0;
};

class PowerOffService {
public:
    virtual ~PowerOffService() = default;
    // Asks the system to turn the computer off and returns without waiting for its answer. A refusal
    // arrives later, from the event loop, through refused with the system's reason.
    virtual void PowerOff(std::function<void(const QString& reason)> refused) = 0;
};

// The installed services. The real ones are used until a test installs its doubles.
namespace Platform {
MessageBoxService& MessageBox();
ShellService& Shell();
FolderPickerService& FolderPicker();
FileDialogService& FileDialogs();
PowerOffService& Power();

// Installs a service (not owned); nullptr puts the real one back.
void Install(MessageBoxService* service);
void Install(ShellService* service);
void Install(FolderPickerService* service);
void Install(FileDialogService* service);
void Install(PowerOffService* service);

// Turns "Desc|*.a;*.b|Desc2|*.c" into Qt's "Desc (*.a *.b);;Desc2 (*.c)".
QString ToQtFilter(const QString& filter);
} // namespace Platform

// Has the shell open the target. Where no program could be started for it (no launcher installed), a box
// over owner says so and shows the path or address, to be opened by hand.
void OpenOrShowWhere(QWidget* owner, const QString& target);

// The folder picker of both Browse buttons. Clears a folder that does not exist, then asks the person;
// true and the chosen folder (any length), or false with the folder left as it was after the clearing.
bool PickFolder(QWidget* owner, const QString& caption, const QString& root, QString& folder);
