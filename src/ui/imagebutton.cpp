#include "ui/imagebutton.h"

#include <QMouseEvent>

ImageButton::ImageButton(const QPixmap& upPicture, const QPixmap& downPicture, QWidget* parent)
    : QLabel(parent), up(upPicture), down(downPicture) {
    setScaledContents(true);
    Show(false);
}

void ImageButton::Show(bool pressed) {
    showsDown = pressed;
    setPixmap(pressed ? down : up);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    Show(true);
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    // The click runs before the up picture comes back.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    Show(false);
    event->accept();
}
