#pragma once

#include <QWidget>

class TopSettingForm : public QWidget {
    Q_OBJECT
public:
    explicit TopSettingForm(QWidget* parent = nullptr);
};
