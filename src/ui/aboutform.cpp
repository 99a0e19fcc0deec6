#include "ui/aboutform.h"

TAboutForm::TAboutForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(503, 290);
}
