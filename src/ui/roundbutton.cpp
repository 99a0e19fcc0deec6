#include "ui/roundbutton.h"

namespace {

bool WithinRadius(qint64 dx, qint64 dy) {
    return dx * dx + dy * dy <= RoundButton::SquaredRadius;
}

} // namespace

bool RoundButton::InsideCircle(int x, int y, int width, int height) {
    return WithinRadius(qint64(x) - width / 2, qint64(y) - height / 2);
}

bool RoundButton::StartHit(QPoint pointerOnScreen, QPoint windowOuterTopLeft, QPoint panelOffset,
                           const QRect& imageGeometry) {
    const qint64 dx = qint64(pointerOnScreen.x()) - windowOuterTopLeft.x() - panelOffset.x() -
                      imageGeometry.left() - 4 - imageGeometry.width() / 2;
    const qint64 dy = qint64(pointerOnScreen.y()) - windowOuterTopLeft.y() - panelOffset.y() -
                      imageGeometry.top() - 30 - imageGeometry.height() / 2;
    return WithinRadius(dx, dy);
}

bool RoundButton::Set(State state) {
    current = state;
    return true;
}

bool RoundButton::Move(int x, int y, int width, int height) {
    if (!InsideCircle(x, y, width, height))
        return current != Normal && Set(Normal);
    return current == Normal && Set(Hover);
}

bool RoundButton::Press() {
    return Set(Pressed);
}

bool RoundButton::Release() {
    return Set(Hover);
}

bool RoundButton::Reset() {
    return current != Normal && Set(Normal);
}
