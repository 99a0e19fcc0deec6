#pragma once

#include "profiles/profileworkinglists.h"

#include <QWidget>

class TopSettingForm : public QWidget {
    Q_OBJECT
public:
    explicit TopSettingForm(QWidget* parent = nullptr);

    // The working lists vleVideo, vleAudio and vleAdvanced of the current profile.
    ProfileWorkingLists Lists;

    void LoadProfile(const QString& path) { Lists.LoadProfile(path); }
    void SaveProfile(const QString& path) { Lists.SaveProfile(path); }
    void CopyProfile(const QString& sourcePath, const QString& destinationPath) {
        Lists.CopyProfile(sourcePath, destinationPath);
    }
};
