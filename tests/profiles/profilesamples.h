#pragma once

#include "profiles/profileworkinglists.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace ProfileSamples {

// The made-up avi profile whose argument text is " -vcodec xvid -ab 128 -an ".
inline const QByteArray WorkedExample = "[Main]\n"
                                        "Type=avi\n"
                                        "Para=4\n"
                                        "0=Video Codec\n"
                                        "1=Video Size\n"
                                        "2=Audio Bitrate\n"
                                        "3=Disable Audio\n"
                                        "[Video Codec]\n"
                                        "Sort=1\n"
                                        "cmd=-vcodec\n"
                                        "Caption=MPEG-4,XviD,\n"
                                        "Value=mpeg4,xvid,\n"
                                        "Index=1\n"
                                        "[Video Size]\n"
                                        "Sort=1\n"
                                        "cmd=-s\n"
                                        "Caption=Original Size,Custom Size,320x240,\n"
                                        "Value=,,320x240,\n"
                                        "[Audio Bitrate]\n"
                                        "Sort=2\n"
                                        "List=0\n"
                                        "cmd=-ab\n"
                                        "Caption=128\n"
                                        "Value=128\n"
                                        "[Disable Audio]\n"
                                        "Sort=2\n"
                                        "cmd=-an\n"
                                        "Caption=No,Yes,\n"
                                        "Value=,\\,\n"
                                        "Index=1\n";

inline void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rows of a list as "key=value".
inline QStringList Rows(const ValueListModel& list) {
    QStringList rows;
    for (int row = 0; row < list.RowCount(); ++row)
        rows << list.Key(row) + QLatin1Char('=') + list.Value(row);
    return rows;
}

// Applies edits written as "name=value" to the first list that has a row of that name.
inline void Edit(ProfileWorkingLists& lists, const QStringList& edits) {
    for (const QString& edit : edits) {
        const qsizetype equals = edit.indexOf(QLatin1Char('='));
        const QString name = edit.left(equals);
        const QString value = edit.mid(equals + 1);
        if (!lists.vleVideo.SetValueOf(name, value) && !lists.vleAudio.SetValueOf(name, value))
            lists.vleAdvanced.SetValueOf(name, value);
    }
}

} // namespace ProfileSamples
