#include "profiles/videosize.h"

#include "profiles/valuelistmodel.h"

namespace VideoSize {

bool WantsCustomSize(const ValueListModel& video, int currentRow) {
    if (currentRow < 0 || currentRow >= video.RowCount())
        return false;
    return video.Key(currentRow) == Key && video.ValueOf(Key) == CustomSize;
}

void DropStandingCustomSize(ValueListModel& video) {
    if (video.FindRow(Key) >= 0 && video.ValueOf(Key) == CustomSize)
        video.SetValueOf(Key, OriginalSize);
}

QString SizeText(const QString& width, const QString& height) {
    return width + QLatin1Char('x') + height;
}

void WithOriginalVideoSize(ValueListModel& video, const std::function<void()>& save) {
    const int row = video.FindRow(Key);
    if (row < 0) {
        save();
        return;
    }
    const QString putAside = video.Value(row);
    video.SetValue(row, OriginalSize);
    try {
        save();
    } catch (...) {
        // A failed save must not cost the person the size they set.
        if (row < video.RowCount() && video.Key(row) == Key)
            video.SetValue(row, putAside);
        throw;
    }
    if (row < video.RowCount() && video.Key(row) == Key)
        video.SetValue(row, putAside);
}

} // namespace VideoSize
