#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>

// The program's own pictures, drawn at start-up: the five image lists of the main window, its preview
// background, decoration and logo, and the about box's side picture. Everything outside a drawn shape is
// transparent.
class Pictures {
public:
    // 63 x 35: Play, Pause, Stop up, then the same three down.
    static QList<QPixmap> PlayerButtons();
    // 63 x 35: Set-start, Set-end, Remove up, then the same three down.
    static QList<QPixmap> MarkButtons();
    // 110 x 110: Start normal, hover, pressed, then Cancel normal, hover, pressed.
    static QList<QPixmap> RoundButtons();
    // 48 x 48: Open, Settings, About, Help.
    static QList<QPixmap> ToolbarImages();
    // The same four in their disabled look.
    static QList<QPixmap> ToolbarDisabledImages();

    static QPixmap PreviewBackground(QSize size);
    // The picture in the middle of the empty preview.
    static QPixmap PreviewEmblem(QSize size);
    static QPixmap Decoration(QSize size);
    static QPixmap Logo(QSize size);
    static QPixmap AboutSide(QSize size);
    static QPixmap ProgramIcon(int side);
};
