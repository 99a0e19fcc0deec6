#pragma once

#include "platform/platform.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

// Records every message box and answers from a script (Yes by default for questions).
class MessageBoxDouble : public MessageBoxService {
public:
    struct Call {
        QWidget* owner;
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    QList<Call> calls;
    QQueue<MsgResult> answers;
    // Runs while the box would be open (for example to click a control as a person could).
    std::function<void(const Call&)> whileOpen;

    MsgResult Show(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                   MsgButtons buttons) override;
    QStringList Texts() const;
};

class ShellDouble : public ShellService {
public:
    QStringList opened;
    // False: no launcher is installed, nothing opens.
    bool launches = true;
    bool Open(const QString& target) override {
        opened << target;
        return launches;
    }
};

class FolderPickerDouble : public FolderPickerService {
public:
    QString answer; // empty: the person cancels
    int calls = 0;
    QString lastCaption;
    bool PickExistingFolder(QWidget*, const QString& caption, const QString&, QString& chosen) override;
};

class FileDialogDouble : public FileDialogService {
public:
    QString openAnswer;
    QString saveAnswer;
    QStringList filters;
    QString lastDefaultExtension;
    QString OpenFileName(QWidget*, const QString&, const QString& filter) override;
    QString SaveFileName(QWidget*, const QString&, const QString& filter,
                         const QString& defaultExtension) override;
};

class PowerOffDouble : public PowerOffService {
public:
    int requests = 0;
    void PowerOff(std::function<void(const QString& reason)> refused) override {
        ++requests;
        refusal = std::move(refused);
    }
    // The system's refusal of the latest request.
    void Refuse(const QString& reason) { refusal(reason); }

private:
    std::function<void(const QString& reason)> refusal;
};

// Installs every double for the lifetime of the object, and the real services back afterwards.
struct PlatformDoubles {
    MessageBoxDouble messages;
    ShellDouble shell;
    FolderPickerDouble folders;
    FileDialogDouble files;
    PowerOffDouble power;
    PlatformDoubles();
    ~PlatformDoubles();
};
