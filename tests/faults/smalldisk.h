#pragma once

#include <QString>

// A small memory-backed disk (tmpfs) mounted on an empty folder for the test's lifetime, so that a test
// can run out of space. Mounting needs root; where it fails, active() is false and reason() says why.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    bool active() const { return mounted; }
    const QString& reason() const { return failure; }
    // Takes every byte still free with a filler file; false when the disk never reported itself full.
    bool Fill() const;

private:
    QString path;
    bool mounted = false;
    QString failure;
};
