#pragma once

#include <QWidget>

class TSizeForm : public QWidget {
    Q_OBJECT
public:
    explicit TSizeForm(QWidget* parent = nullptr);
};
