#pragma once

#include <QString>

// Makes a folder unwritable for the test's lifetime: by its permissions, or, for root (who ignores them),
// with the immutable attribute. active() is false where neither works; such a test should skip.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();
    bool active() const { return isActive; }

private:
    QString path;
    bool isActive = false;
    bool immutable = false;
};
