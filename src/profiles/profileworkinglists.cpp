#include "profiles/profileworkinglists.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "contract/mediaformats.h"
#include "platform/inifile.h"
#include "profiles/commalist.h"
#include "profiles/profileitems.h"

#include <filesystem>
#include <system_error>

namespace {
const QString MainSection = QStringLiteral("Main");

// The rows shown before the first profile is loaded.
const QStringList VideoPlaceholders{QStringLiteral("Video Codec"), QStringLiteral("Video Size"),
                                    QStringLiteral("Bit Rate"),    QStringLiteral("Frame Rate"),
                                    QStringLiteral("Aspect"),      QStringLiteral("Disable Video")};
const QStringList AudioPlaceholders{QStringLiteral("Audio Codec"), QStringLiteral("Audio Bitrate"),
                                    QStringLiteral("Sample Rate"), QStringLiteral("Channels"),
                                    QStringLiteral("Volumn"),      QStringLiteral("Disable Audio")};
const QStringList AdvancedPlaceholders{QStringLiteral("Bit Exact Algorithms"), QStringLiteral("Deinterlace")};

std::filesystem::path FileSystemPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}
} // namespace

ProfileWorkingLists::ProfileWorkingLists(QObject* parent) : QObject(parent) {
    for (const QString& name : VideoPlaceholders)
        vleVideo.AppendRow(name);
    for (const QString& name : AudioPlaceholders)
        vleAudio.AppendRow(name);
    for (const QString& name : AdvancedPlaceholders)
        vleAdvanced.AppendRow(name);
}

ValueListModel* ProfileWorkingLists::ListForSort(int sort) {
    switch (sort) {
    case 1:
        return &vleVideo;
    case 2:
        return &vleAudio;
    case 3:
        return &vleAdvanced;
    default:
        return nullptr;
    }
}

const ValueListModel* ProfileWorkingLists::ListForSort(int sort) const {
    return const_cast<ProfileWorkingLists*>(this)->ListForSort(sort);
}

void ProfileWorkingLists::LoadProfile(const QString& path) {
    if (!SourceFileExists(path))
        return;
    const IniFile profile(path);
    profile.CheckReadable();
    vleVideo.Clear();
    vleAudio.Clear();
    vleAdvanced.Clear();
    // A Type that names no container we write gives no extension; the run then refuses the profile.
    const QString type = ProfileType(profile);
    outputExt = Contract::TypeRefusal(type.toStdString()).empty() ? QStringLiteral(".") + type : QString();

    for (const QString& name : ProfileItemNames(profile)) {
        ValueListModel* list = ListForSort(profile.ReadInteger(name, QStringLiteral("Sort"), -1));
        if (!list)
            continue;
        const bool readOnly = profile.ReadBool(name, QStringLiteral("ReadOnly"), false);
        const int row = list->AppendRow(name);
        list->SetReadOnly(row, readOnly);
        const bool isList = profile.ReadBool(name, QStringLiteral("List"), true);
        const QString caption = profile.ReadString(name, QStringLiteral("Caption"), QString());
        if (isList) {
            const QStringList choices = SplitCommaList(caption);
            list->SetStyle(row, ValueListModel::EditStyle::PickList);
            list->SetPickList(row, choices);
            const int choice = profile.ReadInteger(name, QStringLiteral("Index"), 0);
            if (choice < 0 || choice >= choices.size())
                throw AppError(QStringLiteral("List index out of bounds (%1)").arg(choice));
            list->SetValue(row, choices.at(choice));
            // The value changes only by picking a choice.
            list->SetReadOnly(row, true);
        } else {
            list->SetValue(row, caption);
        }
    }
    emit ProfileLoaded();
}

void ProfileWorkingLists::SaveProfile(const QString& path) {
    IniFile profile(path);
    for (const QString& name : ProfileItemNames(profile)) {
        const ValueListModel* list = ListForSort(profile.ReadInteger(name, QStringLiteral("Sort"), -1));
        if (!list || profile.ReadBool(name, QStringLiteral("ReadOnly"), false))
            continue;
        // An item without a row (the lists hold another profile) has no value to save; writing one
        // would erase the file's own.
        const int row = list->FindRow(name);
        if (row < 0)
            continue;
        const QString value = list->Value(row);
        if (profile.ReadBool(name, QStringLiteral("List"), true)) {
            // The position among the file's own choices: the row may come from another profile whose
            // list is longer or ordered otherwise, and an index the file cannot hold breaks every load.
            const int choice = ItemChoiceIndex(profile, name, value);
            // A value that is none of them leaves the stored choice as it is.
            if (choice >= 0)
                profile.WriteInteger(name, QStringLiteral("Index"), choice);
        } else {
            profile.WriteString(name, QStringLiteral("Caption"), value);
            profile.WriteString(name, QStringLiteral("Value"), value);
        }
    }
}

void ProfileWorkingLists::CopyProfile(const QString& sourcePath, const QString& destinationPath) {
    if (!SourceFileExists(sourcePath))
        return;
    // A failed copy is not reported: the save below then works on whatever file is at the destination.
    std::error_code ignored;
    std::filesystem::copy_file(FileSystemPath(sourcePath), FileSystemPath(destinationPath),
                               std::filesystem::copy_options::overwrite_existing, ignored);
    SaveProfile(destinationPath);
}
