#pragma once

#include <QLabel>

// A label that acts as a link: hand cursor, and a click for a left-button release over it. A text too
// long for the label is shown shortened in the middle; text() keeps it whole.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
