#include "preview/dstrackbar.h"

#include <QPainter>
#include <QStyleOptionSlider>

TDSTrackBar::TDSTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(60);
}

void TDSTrackBar::SetSelStart(int seconds) {
    selStart = seconds;
    update();
}

void TDSTrackBar::SetSelEnd(int seconds) {
    selEnd = seconds;
    update();
}

void TDSTrackBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (selEnd <= selStart || maximum() <= 0)
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const double scale = static_cast<double>(groove.width()) / maximum();
    const int left = groove.left() + static_cast<int>(qBound(0, selStart, maximum()) * scale);
    const int right = groove.left() + static_cast<int>(qBound(0, selEnd, maximum()) * scale);
    QPainter painter(this);
    painter.fillRect(QRect(left, groove.center().y() - 2, right - left, 4), QColor(49, 106, 197, 170));
}
