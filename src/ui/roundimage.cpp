#include "ui/roundimage.h"

#include <QMouseEvent>

RoundImage::RoundImage(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed, QWidget* parent)
    : QLabel(parent), pictures{normal, hover, pressed} {
    setMouseTracking(true);
    setScaledContents(true);
    setPixmap(pictures[0]);
}

void RoundImage::Draw(bool changed) {
    if (changed)
        setPixmap(pictures[button.state()]);
}

void RoundImage::ResetToNormal() {
    Draw(button.Reset());
}

void RoundImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Draw(button.Move(p.x(), p.y(), width(), height()));
    event->accept();
}

void RoundImage::mousePressEvent(QMouseEvent* event) {
    Draw(button.Press());
    event->accept();
}

void RoundImage::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // The click runs first; a run started by it ends before the hover picture is drawn.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    Draw(button.Release());
}
