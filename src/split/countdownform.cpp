#include "split/countdownform.h"

TCountDownForm::TCountDownForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Countdown"));
    setFixedSize(376, 106);
}
