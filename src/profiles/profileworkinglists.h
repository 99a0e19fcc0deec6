#pragma once

#include "profiles/valuelistmodel.h"

#include <QObject>
#include <QString>

// The one in-memory copy of the current profile: its items in three groups, Video, Audio and Advanced.
// Loads a profile file into the lists and saves the user's values back into it.
class ProfileWorkingLists : public QObject {
    Q_OBJECT
public:
    explicit ProfileWorkingLists(QObject* parent = nullptr);

    ValueListModel vleVideo;
    ValueListModel vleAudio;
    ValueListModel vleAdvanced;

    // The list of an item's "Sort" group (1 Video, 2 Audio, 3 Advanced), or nullptr for any other number:
    // such an item is skipped by the load, the save and the argument builder.
    ValueListModel* ListForSort(int sort);
    const ValueListModel* ListForSort(int sort) const;

    // Replaces the lists' content with the profile's items and sets OutputExt; a missing file
    // changes nothing, and one that cannot be read throws AppError "Unable to read %s". Throws AppError "List
    // index out of bounds (%d)" for a choice index outside its item's choices, keeping the rows appended so
    // far.
    void LoadProfile(const QString& path);
    // Writes the current values of the file's editable items into it; a list item's value is saved only
    // as one of the file's own choices. Throws AppError "Unable to write to %s" at the first key that
    // cannot be written.
    void SaveProfile(const QString& path);
    // Copies the profile file over the destination, then saves the current values into the copy.
    void CopyProfile(const QString& sourcePath, const QString& destinationPath);

    // "." followed by the type of the profile loaded last; empty until a profile has been loaded.
    const QString& OutputExt() const { return outputExt; }

signals:
    // A load has finished (not emitted when it stopped on an error): views fit themselves to the rows.
    void ProfileLoaded();

private:
    QString outputExt;
};
