#pragma once

#include <QLabel>
#include <QPixmap>

// A picture that behaves as a button: it shows its down picture while a mouse button is held on it and
// its up picture after the release, and reports a click for a left-button release over it.
class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(const QPixmap& up, const QPixmap& down, QWidget* parent = nullptr);

    const QPixmap& UpPicture() const { return up; }
    const QPixmap& DownPicture() const { return down; }
    // The picture that the control shows now.
    bool ShowsDownPicture() const { return showsDown; }

    // "Short | Long": the tooltip shows the short part, the status tip the long one.
    void SetHint(const QString& hint);
    const QString& Hint() const { return hint; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Show(bool pressed);

    QPixmap up;
    QPixmap down;
    bool showsDown = false;
    QString hint;
};
