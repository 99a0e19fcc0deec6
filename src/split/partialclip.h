#pragma once

#include <QString>

// A clip while it is being written: the encoder writes a hidden file beside the clip, and only a complete
// clip takes the clip's name. A cancel, a failure or a crashed encoder thus never leaves half a clip under
// the clip's name, nor destroys an earlier clip of that name. Unless committed, the file goes with this.
class PartialClip {
public:
    // Creates the file beside clipPath, under a name nothing else uses (never through an existing name).
    explicit PartialClip(const QString& clipPath);
    ~PartialClip();
    PartialClip(const PartialClip&) = delete;
    PartialClip& operator=(const PartialClip&) = delete;

    // False when the file could not be created; Problem() then says why.
    bool Created() const { return !path.isEmpty(); }
    // The file the encoder writes: ".part-XXXXXX-" and the clip's file name, in the clip's folder.
    QString Path() const { return path; }
    QString Problem() const { return problem; }

    // The complete clip takes its name, replacing whatever file had it; false with Problem() when it cannot.
    bool Commit();
    // Removes the file now (a cancel or a failure).
    void Discard();

private:
    QString clipPath;
    QString path;
    QString problem;
};
