#pragma once

class QApplication;
class QPalette;

// The one look of every window and standard dialog of the program: Qt's Fusion style with our palette,
// font and a few style rules for the flat toolbar, fields and progress bars.
class Skin {
public:
    static void Apply(QApplication& application);
    static QPalette Palette();
};
