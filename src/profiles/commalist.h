#pragma once

#include <QString>
#include <QStringList>

// The entries of a comma list, in which every entry is followed by a comma ("A,B,C," holds three).
// Whatever follows the last comma is dropped, and entries are not trimmed.
QStringList SplitCommaList(const QString& text);
