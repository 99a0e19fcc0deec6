#include "ui/skin.h"

#include "ui/pictures.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QStyleFactory>

namespace {

const char* const StyleRules = R"(
QToolBar { border: none; background: transparent; spacing: 0px; padding: 0px; }
QToolButton { border: 1px solid transparent; border-radius: 6px; padding: 1px; color: #2b3440; }
QToolButton:hover { background: #dde9f6; border-color: #a9c8e8; }
QToolButton:pressed { background: #c6dcf2; border-color: #7fb0e0; }
QToolButton:disabled { color: #9aa5b1; }
QLineEdit { border: 1px solid #aab5c2; border-radius: 3px; padding: 0px 3px; background: #ffffff;
            selection-background-color: #2f80c8; }
QLineEdit:focus { border-color: #2f80c8; }
QLineEdit:disabled { background: #eef1f4; color: #8c97a3; }
QGroupBox { border: 1px solid #c3cbd5; border-radius: 6px; margin-top: 6px; }
QGroupBox::title { subcontrol-origin: margin; left: 9px; padding: 0px 3px; color: #1d5a96; }
QProgressBar { border: 1px solid #aab5c2; border-radius: 3px; background: #ffffff; text-align: center; }
QProgressBar::chunk { border-radius: 2px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                      stop:0 #6cb2eb, stop:1 #2f80c8); }
)";

} // namespace

QPalette Skin::Palette() {
    QPalette palette;
    const QColor face(0xec, 0xef, 0xf3);
    const QColor text(0x22, 0x2a, 0x33);
    const QColor accent(0x2f, 0x80, 0xc8);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf7, 0xfa));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0xf4, 0xf6, 0xf8));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x1a, 0x5f, 0xb4));
    palette.setColor(QPalette::LinkVisited, QColor(0x5a, 0x3f, 0xa0));
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xfd, 0xe8));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8c, 0x97, 0xa3));
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(0xe2, 0xe7, 0xec));
    palette.setColor(QPalette::Mid, QColor(0xb4, 0xbe, 0xc9));
    palette.setColor(QPalette::Dark, QColor(0x8a, 0x96, 0xa3));
    palette.setColor(QPalette::Shadow, QColor(0x4a, 0x55, 0x61));
    const QColor disabledText(0x9a, 0xa5, 0xb1);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    return palette;
}

void Skin::Apply(QApplication& application) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(Palette());
    // The windows were laid out for an 11-pixel face of Arial's widths; DejaVu Sans is wider.
    QFont font;
    font.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    QApplication::setFont(font);
    application.setStyleSheet(QString::fromLatin1(StyleRules));
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(Pictures::ProgramIcon(side));
    QApplication::setWindowIcon(icon);
}
