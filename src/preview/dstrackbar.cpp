#include "preview/dstrackbar.h"

#include "preview/mediaseeking.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>
#include <climits>

TDSTrackBar::TDSTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(60);
    timer.setInterval(TimerInterval);
    connect(&timer, &QTimer::timeout, this, &TDSTrackBar::TimerStep);
}

void TDSTrackBar::SetSelStart(int seconds) {
    selStart = seconds;
    update();
}

void TDSTrackBar::SetSelEnd(int seconds) {
    selEnd = seconds;
    update();
}

void TDSTrackBar::SetSeeking(MediaSeeking* graphSeeking) {
    seeking = graphSeeking;
    if (!seeking)
        timer.stop();
}

void TDSTrackBar::PlayStarted() {
    if (isEnabled() && !timer.isActive())
        timer.start();
}

void TDSTrackBar::PlayPaused() {
    timer.stop();
}

void TDSTrackBar::PlayStopped() {
    timer.stop();
    TimerStep();
}

void TDSTrackBar::TimerStep() {
    if (tracking || !seeking)
        return;
    qint64 durationMs = 0;
    qint64 currentMs = 0;
    if (!seeking->GetDuration(durationMs) || !seeking->GetCurrentPosition(currentMs))
        return;
    setMinimum(0);
    SetMax(static_cast<int>(std::clamp<qint64>(durationMs / TimerInterval, 0, INT_MAX)));
    SetPosition(static_cast<int>(std::clamp<qint64>(currentMs / TimerInterval, 0, INT_MAX)));
    emit OnTimer(currentMs, durationMs);
}

void TDSTrackBar::Seek() {
    if (!seeking || Max() == 0)
        return;
    qint64 stopMs = 0;
    if (!seeking->GetStopPosition(stopMs))
        return;
    seeking->SetPositions(stopMs * Position() / Max());
}

void TDSTrackBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        tracking = true;
    QSlider::mousePressEvent(event);
}

void TDSTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    Seek();
    tracking = false;
}

void TDSTrackBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (selEnd <= selStart || maximum() <= 0)
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    // The band's ends line up with the thumb's centre at the two marks.
    const int span = groove.width() - handle.width();
    const auto place = [&](int mark) {
        return groove.left() + handle.width() / 2 +
               QStyle::sliderPositionFromValue(minimum(), maximum(), qBound(minimum(), mark, maximum()),
                                               span);
    };
    const int left = place(selStart);
    const int right = place(selEnd);
    const QRect band(left, groove.center().y() - 2, qMax(1, right - left), 5);
    QPainter painter(this);
    painter.fillRect(band, QColor(240, 150, 30));
    painter.setPen(QColor(160, 90, 10));
    painter.drawRect(band.adjusted(0, 0, -1, -1));
}
