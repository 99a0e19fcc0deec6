#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>

// One option that a profile item adds to the clip's output, and its value when it takes one.
struct ProfileOption {
    QString option;
    std::optional<QString> value;
};

// The options that a profile adds to the one output of every clip. Each option and each value reaches the
// encoder as one argument of its own, whatever blanks it holds. A profile refused by the allowed options
// carries the reason instead, and no run may start with it.
class ProfileOptions {
public:
    ProfileOptions() = default;
    ProfileOptions(std::initializer_list<ProfileOption> options) : options(options) {}

    // A video filter option after an earlier one joins its chain: ffmpeg would keep only the last, and
    // items such as deinterlacing and the even size each add their own filters.
    void Append(const ProfileOption& option);

    // Every option followed by its value, as the encoder gets them.
    QStringList Arguments() const;
    // As the command line shows them: a blank, the option, a blank and the value for each, so that an
    // option without a value is followed by a blank. A value with blanks is shown in double quotes, since
    // it is passed whole.
    QString Text() const;

    bool Refused() const { return !refusal.isEmpty(); }
    const QString& Refusal() const { return refusal; }
    void Refuse(const QString& message) { refusal = message; }

private:
    QList<ProfileOption> options;
    QString refusal;
};
