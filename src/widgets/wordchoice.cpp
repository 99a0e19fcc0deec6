#include "widgets/wordchoice.h"

#include <QPainter>

WordChoice::WordChoice(const QPoint& wordsAt, QWidget* parent) : QComboBox(parent), wordsAt(wordsAt) {
    setAttribute(Qt::WA_Hover);
}

bool WordChoice::AtRest() const {
    return !underMouse() && !hasFocus() && !popupShown;
}

void WordChoice::paintEvent(QPaintEvent* event) {
    if (!AtRest()) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(QRect(wordsAt, QSize(width() - wordsAt.x(), fontMetrics().height())),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
}

void WordChoice::enterEvent(QEnterEvent* event) {
    QComboBox::enterEvent(event);
    update();
}

void WordChoice::leaveEvent(QEvent* event) {
    QComboBox::leaveEvent(event);
    update();
}

void WordChoice::showPopup() {
    popupShown = true;
    QComboBox::showPopup();
}

void WordChoice::hidePopup() {
    QComboBox::hidePopup();
    popupShown = false;
    update();
}
