#pragma once

#include <QPoint>
#include <QRect>

// The state behind a round picture button (the Start and Cancel images): 0 normal, 1 hover, 2 pressed.
// The button is the circle of squared radius 2352 around the picture's centre, the centre found with
// whole-number halves. Each event returns true when the picture has to be drawn again.
class RoundButton {
public:
    static constexpr int SquaredRadius = 2352;
    enum State { Normal = 0, Hover = 1, Pressed = 2 };

    // True when the picture-local point lies within the circle of a width x height picture.
    static bool InsideCircle(int x, int y, int width, int height);

    // The Start image's hit test works from the pointer's position on the screen and the window's outer
    // position, with fixed allowances of 4 and 30 pixels for the frame and the title bar.
    static bool StartHit(QPoint pointerOnScreen, QPoint windowOuterTopLeft, QPoint panelOffset,
                         const QRect& imageGeometry);

    int state() const { return current; }

    // The pointer moved to (x, y) over the picture: outside the circle it goes back to normal, inside it
    // lights up from normal and otherwise keeps its state.
    bool Move(int x, int y, int width, int height);
    // A press anywhere on the picture, any button.
    bool Press();
    // The release of a button, wherever the pointer is.
    bool Release();
    // The pointer is over the surroundings.
    bool Reset();

private:
    bool Set(State state);

    State current = Normal;
};
