#pragma once

#include <QString>

// Heights of the profile editor's value lists. A row is 17 pixels with a grid line below it, and a list
// without rows still shows one empty row.
namespace ListHeights {

// The height of a closed group's list.
inline constexpr int Closed = 1;

// The row count that the heights are figured from: at least one.
int CountedRows(int rows);
// The height a load gives a list: 18 pixels a row.
int Loaded(int rows);
// The height a group's button gives its list when it opens it: rows * 17 + rows + 1.
int Opened(int rows);

// A click of a group's button: "-" closes the group, "+" opens it. Sets the caption the button takes and
// the list's new height, and returns false (nothing changed) for any other caption.
bool Toggle(const QString& caption, int rows, QString& newCaption, int& newHeight);

} // namespace ListHeights
