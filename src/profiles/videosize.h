#pragma once

#include <QString>
#include <functional>

class ValueListModel;

// The item "Video Size" and its two choices with a meaning of their own: "Custom Size" asks for a width
// and a height, which then stand in the row in place of a choice.
namespace VideoSize {

inline const QString Key = QStringLiteral("Video Size");
inline const QString OriginalSize = QStringLiteral("Original Size");
inline const QString CustomSize = QStringLiteral("Custom Size");

// Whether the video list's change should ask for a custom size: its current row is "Video Size" and
// that row holds "Custom Size".
bool WantsCustomSize(const ValueListModel& video, int currentRow);

// A "Custom Size" that nobody replaced by a width and a height falls back to "Original Size".
void DropStandingCustomSize(ValueListModel& video);

// The text a width and a height are stored as: both exactly as typed, joined by "x".
QString SizeText(const QString& width, const QString& height);

// Runs save with the "Video Size" row showing "Original Size", so that a custom size, which is no choice,
// never reaches a file; the row gets its own value back afterwards, also when save throws.
void WithOriginalVideoSize(ValueListModel& video, const std::function<void()>& save);

} // namespace VideoSize
