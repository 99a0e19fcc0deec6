#pragma once

#include <QString>
#include <QStringList>

// The source named by the program's arguments, or an empty text when there is none to open. Only the first
// argument counts: a ".tmp" file is a list whose first line is the source, anything else is the source
// itself. A relative path is taken from the current folder and made whole. The source must be an existing
// file with a supported extension; otherwise nothing is opened and nothing is reported. A list file that
// cannot be read, or holds no line at all, throws AppError with the reason.
QString CommandLineSource(const QStringList& arguments, const QStringList& extensions);
