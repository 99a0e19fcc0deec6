#pragma once

#include "ui/roundbutton.h"

#include <QLabel>
#include <QPixmap>

// The round Start and Cancel images: normal, hover and pressed pictures, switched by the position of the
// pointer against the button's circle. The click is reported for any left-button release over the square;
// the Start image tests its circle in its own click handler.
class RoundImage : public QLabel {
    Q_OBJECT
public:
    RoundImage(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed,
               QWidget* parent = nullptr);

    // 0 normal, 1 hover, 2 pressed.
    int RoundButtonState() const { return button.state(); }
    const QPixmap& Picture(int state) const { return pictures[state]; }
    // Back to the normal picture (the pointer moved over a surrounding control).
    void ResetToNormal();

signals:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Draw(bool changed);

    QPixmap pictures[3];
    RoundButton button;
};
