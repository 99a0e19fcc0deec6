#include "widgets/imagebutton.h"

#include <QMouseEvent>

ImageButton::ImageButton(const QPixmap& upPicture, const QPixmap& downPicture, QWidget* parent)
    : QLabel(parent), up(upPicture), down(downPicture) {
    setScaledContents(true);
    setAttribute(Qt::WA_TranslucentBackground);
    Show(false);
}

void ImageButton::SetHint(const QString& text) {
    hint = text;
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    setToolTip((bar < 0 ? text : text.left(bar)).trimmed());
    setStatusTip((bar < 0 ? text : text.mid(bar + 1)).trimmed());
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
    event->accept();
    // The click runs before the up picture comes back.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    Show(false);
}
