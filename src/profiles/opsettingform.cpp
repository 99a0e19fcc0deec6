#include "profiles/opsettingform.h"

TopSettingForm::TopSettingForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Profile"));
    setFixedSize(391, 472);
}
