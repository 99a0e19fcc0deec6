#pragma once

#include <QWidget>

class TSettingForm : public QWidget {
    Q_OBJECT
public:
    explicit TSettingForm(QWidget* parent = nullptr);
};
