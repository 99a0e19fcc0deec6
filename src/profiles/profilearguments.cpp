#include "profiles/profilearguments.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "contract/mediaformats.h"
#include "platform/inifile.h"
#include "profiles/allowedoptions.h"
#include "profiles/commalist.h"
#include "profiles/profileitems.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"

void BuildProfileArguments(const QString& path, ProfileOptions& options, const ProfileWorkingLists& lists) {
    if (!SourceFileExists(path))
        return;
    const IniFile profile(path);
    profile.CheckReadable();
    if (const std::string refusal = Contract::TypeRefusal(ProfileType(profile).toStdString());
        !refusal.empty()) {
        options.Refuse(
            QStringLiteral("The profile's Type cannot be used: %1.").arg(QString::fromStdString(refusal)));
        return;
    }
    for (const QString& name : ProfileItemNames(profile)) {
        const ValueListModel* list = lists.ListForSort(profile.ReadInteger(name, QStringLiteral("Sort"), -1));
        if (!list)
            continue;
        const QString command = profile.ReadString(name, QStringLiteral("cmd"), QString());
        const QString fileValue = profile.ReadString(name, QStringLiteral("Value"), QString());
        QString value;
        if (profile.ReadBool(name, QStringLiteral("List"), true)) {
            const QString current = list->ValueOf(name);
            const int choice = ItemChoiceIndex(profile, name, current);
            // A value that is no choice (a custom size such as 640x480) is passed on as it stands.
            if (choice < 0) {
                value = current;
            } else {
                const QStringList values = SplitCommaList(fileValue);
                if (choice >= values.size())
                    throw AppError(QStringLiteral("List index out of bounds (%1)").arg(choice));
                value = values.at(choice);
            }
        } else if (profile.ReadBool(name, QStringLiteral("ReadOnly"), false)) {
            value = fileValue;
        } else {
            value = list->ValueOf(name);
        }
        value = value.trimmed();
        if (command.isEmpty() || value.isEmpty())
            continue;
        ProfileOption option{command, value};
        // A lone backslash stands for an option written without a value.
        if (value == QStringLiteral("\\"))
            option.value.reset();
        const QString refusal = ProfileOptionRefusal(option);
        if (!refusal.isEmpty()) {
            options.Refuse(QStringLiteral("The profile item \"%1\" cannot be used: %2.").arg(name, refusal));
            return;
        }
        options.Append(option);
    }
}
