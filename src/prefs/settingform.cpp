#include "prefs/settingform.h"

TSettingForm::TSettingForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(351, 332);
}
