#include "ui/roundimage.h"

#include <QMouseEvent>

RoundImage::RoundImage(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed, QWidget* parent)
    : QLabel(parent), pictures{normal, hover, pressed} {
    setMouseTracking(true);
    setPixmap(pictures[0]);
}

void RoundImage::SetState(int newState) {
    state = newState;
    setPixmap(pictures[state]);
}

void RoundImage::ResetToNormal() {
    if (state != 0)
        SetState(0);
}

void RoundImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const int cx = p.x() - width() / 2;
    const int cy = p.y() - height() / 2;
    if (cx * cx + cy * cy > 2352)
        ResetToNormal();
    else if (state == 0)
        SetState(1);
}

void RoundImage::mousePressEvent(QMouseEvent* event) {
    SetState(2);
    event->accept();
}

void RoundImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    SetState(1);
    event->accept();
}
