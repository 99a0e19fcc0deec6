#pragma once

#include <QComboBox>

// A drop-down that stands in a sentence: at rest it shows only its current words, drawn where a label
// would draw them, and it shows its frame and arrow while the mouse is over it, it has the focus or its
// list is open.
class WordChoice : public QComboBox {
    Q_OBJECT
public:
    // wordsAt: where the words stand inside the control, as a label placed there would draw them.
    WordChoice(const QPoint& wordsAt, QWidget* parent = nullptr);

    // Whether the control now looks like the plain words.
    bool AtRest() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showPopup() override;
    void hidePopup() override;

private:
    QPoint wordsAt;
    bool popupShown = false;
};
