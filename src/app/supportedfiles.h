#pragma once

#include <QString>
#include <QStringList>

// The source extensions the program opens, lower case with their dot, in the order the open dialog lists
// them.
QStringList DefaultSupportedExtensions();

// The open dialog's filter in the "Description|patterns|..." form: all supported files first, then one
// entry per extension, then all files. The pattern list keeps its trailing semicolon.
QString BuildOpenDialogFilter(const QStringList& extensions);
