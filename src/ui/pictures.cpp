#include "ui/pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor Ink(0x2b, 0x34, 0x40);
const QColor Accent(0x2f, 0x80, 0xc8);
const QColor AccentLight(0x6c, 0xb2, 0xeb);
const QColor AccentDark(0x1d, 0x5a, 0x96);

// Drawn at the screen's pixel density, so that the pictures stay sharp on high-density screens.
QPixmap Blank(QSize size) {
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont PictureFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A hexagon of six triangles in alternating shades: the program's tessellation emblem.
void DrawEmblem(QPainter& painter, QPointF centre, qreal radius, const QColor& base) {
    const QColor shades[3] = {base.lighter(135), base, base.darker(125)};
    for (int i = 0; i < 6; ++i) {
        const qreal a0 = qDegreesToRadians(60.0 * i - 90.0);
        const qreal a1 = qDegreesToRadians(60.0 * (i + 1) - 90.0);
        QPolygonF triangle;
        triangle << centre << centre + QPointF(radius * qCos(a0), radius * qSin(a0))
                 << centre + QPointF(radius * qCos(a1), radius * qSin(a1));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shades[i % 3]);
        painter.drawPolygon(triangle);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 170), qMax<qreal>(1.0, radius / 14.0)));
    for (int i = 0; i < 3; ++i) {
        const qreal a = qDegreesToRadians(60.0 * i - 90.0);
        const QPointF offset(radius * qCos(a), radius * qSin(a));
        painter.drawLine(centre - offset, centre + offset);
    }
}

// A field of triangles whose opacity grows from left to right.
void DrawTriangleField(QPainter& painter, const QRectF& area, qreal side, const QColor& colour,
                       int maxAlpha) {
    const qreal height = side * 0.866;
    int row = 0;
    for (qreal y = area.top(); y < area.bottom(); y += height, ++row) {
        int column = 0;
        for (qreal x = area.left() - side; x < area.right(); x += side / 2.0, ++column) {
            const bool up = (row + column) % 2 == 0;
            QPolygonF triangle;
            if (up)
                triangle << QPointF(x, y + height) << QPointF(x + side / 2.0, y)
                         << QPointF(x + side, y + height);
            else
                triangle << QPointF(x, y) << QPointF(x + side, y) << QPointF(x + side / 2.0, y + height);
            const qreal share = qBound<qreal>(0.0, (x - area.left()) / area.width(), 1.0);
            const int variation = ((row * 7 + column * 3) % 5) * maxAlpha / 8;
            QColor fill = colour;
            fill.setAlpha(qBound(0, int(share * maxAlpha) - variation, 255));
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill);
            painter.drawPolygon(triangle);
        }
    }
}

QPainterPath PlayGlyph(QPointF centre, qreal size) {
    QPainterPath path;
    path.moveTo(centre + QPointF(-size * 0.40, -size * 0.5));
    path.lineTo(centre + QPointF(size * 0.55, 0));
    path.lineTo(centre + QPointF(-size * 0.40, size * 0.5));
    path.closeSubpath();
    return path;
}

QPainterPath PauseGlyph(QPointF centre, qreal size) {
    QPainterPath path;
    const qreal bar = size * 0.3;
    path.addRoundedRect(QRectF(centre.x() - size * 0.42, centre.y() - size / 2, bar, size), 1.5, 1.5);
    path.addRoundedRect(QRectF(centre.x() + size * 0.12, centre.y() - size / 2, bar, size), 1.5, 1.5);
    return path;
}

QPainterPath StopGlyph(QPointF centre, qreal size) {
    QPainterPath path;
    const qreal side = size * 0.86;
    path.addRoundedRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), 2, 2);
    return path;
}

// A range bracket with a small pointer: "[>" marks the start, "<]" the end.
QPainterPath MarkGlyph(QPointF centre, qreal size, bool start) {
    QPainterPath path;
    const qreal half = size / 2;
    const qreal stroke = qMax<qreal>(2.0, size / 7);
    const qreal direction = start ? 1.0 : -1.0;
    const qreal barX = centre.x() - direction * size * 0.35;
    QRectF bar(barX - stroke / 2, centre.y() - half, stroke, size);
    path.addRect(bar);
    const qreal serif = size * 0.28;
    path.addRect(QRectF(start ? bar.left() : bar.right() - serif, centre.y() - half, serif, stroke));
    path.addRect(QRectF(start ? bar.left() : bar.right() - serif, centre.y() + half - stroke, serif, stroke));
    QPainterPath pointer;
    const qreal tipX = centre.x() + direction * size * 0.48;
    const qreal baseX = centre.x() + direction * size * 0.02;
    pointer.moveTo(baseX, centre.y() - size * 0.3);
    pointer.lineTo(tipX, centre.y());
    pointer.lineTo(baseX, centre.y() + size * 0.3);
    pointer.closeSubpath();
    return path.united(pointer);
}

QPainterPath RemoveGlyph(QPointF centre, qreal size) {
    QPainterPath brackets;
    const qreal half = size / 2;
    const qreal stroke = qMax<qreal>(2.0, size / 7);
    const qreal serif = size * 0.22;
    for (int side = -1; side <= 1; side += 2) {
        const qreal x = centre.x() + side * size * 0.55;
        const qreal left = side < 0 ? x : x - stroke;
        brackets.addRect(QRectF(left, centre.y() - half, stroke, size));
        const qreal serifLeft = side < 0 ? x : x - serif;
        brackets.addRect(QRectF(serifLeft, centre.y() - half, serif, stroke));
        brackets.addRect(QRectF(serifLeft, centre.y() + half - stroke, serif, stroke));
    }
    return brackets;
}

// A face of the player and marking buttons, up or down, with its glyph.
QPixmap ButtonFace(QSize size, const QPainterPath& glyph, const QColor& glyphColour, bool down,
                   const QPainterPath& extra = QPainterPath(), const QColor& extraColour = QColor()) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QRectF face = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    if (!down) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(20, 30, 45, 40));
        painter.drawRoundedRect(face.translated(0, 1.2), 7, 7);
    }
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (down) {
        fill.setColorAt(0, QColor(0xc9, 0xd3, 0xde));
        fill.setColorAt(1, QColor(0xe6, 0xeb, 0xf0));
    } else {
        fill.setColorAt(0, QColor(0xff, 0xff, 0xff));
        fill.setColorAt(0.5, QColor(0xf1, 0xf4, 0xf7));
        fill.setColorAt(1, QColor(0xdc, 0xe2, 0xe9));
    }
    painter.setBrush(fill);
    painter.setPen(QPen(down ? QColor(0x6f, 0x7d, 0x8e) : QColor(0xa4, 0xaf, 0xbc), 1));
    painter.drawRoundedRect(face, 7, 7);
    if (!down) {
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(1, 1, -1, -1), 6, 6);
    }
    const QPointF shift = down ? QPointF(0.8, 1.0) : QPointF(0, 0);
    painter.translate(shift);
    painter.setPen(Qt::NoPen);
    if (!down) {
        painter.setBrush(QColor(255, 255, 255, 180));
        painter.drawPath(glyph.translated(0, 1));
    }
    painter.setBrush(down ? glyphColour.darker(115) : glyphColour);
    painter.drawPath(glyph);
    if (!extra.isEmpty()) {
        painter.setPen(QPen(down ? extraColour.darker(115) : extraColour, 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(extra);
    }
    return pixmap;
}

// The round Start and Cancel faces: 0 normal, 1 hover, 2 pressed.
QPixmap RoundFace(QSize size, const QColor& base, const QString& caption, bool start, int look) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QPointF centre(size.width() / 2, size.height() / 2);
    const qreal radius = 46.0;
    if (look == 1) {
        QRadialGradient glow(centre, radius + 8);
        QColor inner = base.lighter(150);
        inner.setAlpha(150);
        QColor outer = inner;
        outer.setAlpha(0);
        glow.setColorAt(0.80, inner);
        glow.setColorAt(1.0, outer);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(centre, radius + 8, radius + 8);
    }
    if (look != 2) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(10, 20, 30, 60));
        painter.drawEllipse(centre + QPointF(0, 2.5), radius + 0.5, radius + 0.5);
    }
    QPointF faceCentre = centre + (look == 2 ? QPointF(0, 1.5) : QPointF(0, 0));
    painter.setPen(QPen(base.darker(look == 2 ? 170 : 150), 1.5));
    painter.setBrush(QColor(0xf4, 0xf6, 0xf8));
    painter.drawEllipse(faceCentre, radius, radius);
    const qreal disc = radius - 5;
    QColor top = look == 1 ? base.lighter(135) : look == 2 ? base.darker(118) : base.lighter(112);
    QColor bottom = look == 1 ? base : look == 2 ? base.darker(145) : base.darker(122);
    QLinearGradient fill(faceCentre - QPointF(0, disc), faceCentre + QPointF(0, disc));
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(QPen(base.darker(140), 1));
    painter.setBrush(fill);
    painter.drawEllipse(faceCentre, disc, disc);
    if (look != 2) {
        QLinearGradient shine(faceCentre - QPointF(0, disc), faceCentre);
        shine.setColorAt(0, QColor(255, 255, 255, 120));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawEllipse(
            QRectF(faceCentre.x() - disc * 0.78, faceCentre.y() - disc * 0.95, disc * 1.56, disc * 1.0));
    }
    const QPointF glyphCentre = faceCentre + QPointF(0, -11);
    const QPainterPath glyph =
        start ? PlayGlyph(glyphCentre + QPointF(2, 0), 22) : StopGlyph(glyphCentre, 20);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));
    painter.drawPath(glyph.translated(0, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(glyph);
    painter.setFont(PictureFont(15, true));
    const QRectF textBox(faceCentre.x() - disc, faceCentre.y() + 5, disc * 2, 22);
    painter.setPen(QColor(0, 0, 0, 60));
    painter.drawText(textBox.translated(0, 1.2), Qt::AlignCenter, caption);
    painter.setPen(Qt::white);
    painter.drawText(textBox, Qt::AlignCenter, caption);
    return pixmap;
}

QPixmap ToolbarOpen() {
    QPixmap pixmap = Blank(QSize(48, 48));
    QPainter painter(&pixmap);
    Smooth(painter);
    QPainterPath back;
    back.moveTo(4, 12);
    back.lineTo(17, 12);
    back.lineTo(21, 16);
    back.lineTo(42, 16);
    back.lineTo(42, 40);
    back.lineTo(4, 40);
    back.closeSubpath();
    QLinearGradient backFill(0, 12, 0, 40);
    backFill.setColorAt(0, QColor(0xe9, 0xa8, 0x2c));
    backFill.setColorAt(1, QColor(0xc7, 0x86, 0x18));
    painter.setPen(QPen(QColor(0xa8, 0x6d, 0x10), 1));
    painter.setBrush(backFill);
    painter.drawPath(back);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xfb, 0xfc, 0xfd));
    painter.drawRect(QRectF(8, 19, 30, 14));
    QPainterPath front;
    front.moveTo(2, 22);
    front.lineTo(44, 22);
    front.lineTo(40, 41);
    front.lineTo(5, 41);
    front.closeSubpath();
    QLinearGradient frontFill(0, 22, 0, 41);
    frontFill.setColorAt(0, QColor(0xfd, 0xd2, 0x6a));
    frontFill.setColorAt(1, QColor(0xf0, 0xae, 0x35));
    painter.setPen(QPen(QColor(0xb7, 0x7a, 0x15), 1));
    painter.setBrush(frontFill);
    painter.drawPath(front);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Accent);
    painter.drawEllipse(QPointF(36, 34), 9, 9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(PlayGlyph(QPointF(36.5, 34), 9));
    return pixmap;
}

QPixmap ToolbarSettings() {
    QPixmap pixmap = Blank(QSize(48, 48));
    QPainter painter(&pixmap);
    Smooth(painter);
    const QPointF centre(24, 24);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal angle = qDegreesToRadians(360.0 * i / (teeth * 4) - 90.0 + 360.0 / (teeth * 8));
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? 20.0 : 15.5;
        const QPointF point = centre + QPointF(r * qCos(angle), r * qSin(angle));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 6.5, 6.5);
    QLinearGradient fill(0, 4, 0, 44);
    fill.setColorAt(0, QColor(0x8a, 0x97, 0xa6));
    fill.setColorAt(1, QColor(0x4c, 0x58, 0x67));
    painter.setPen(QPen(QColor(0x3a, 0x44, 0x50), 1));
    painter.setBrush(fill);
    painter.drawPath(gear.subtracted(hole));
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 11.5, 11.5);
    return pixmap;
}

QPixmap ToolbarBadge(const QColor& colour, const QString& sign, int pixelSize) {
    QPixmap pixmap = Blank(QSize(48, 48));
    QPainter painter(&pixmap);
    Smooth(painter);
    const QPointF centre(24, 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(10, 20, 30, 50));
    painter.drawEllipse(centre + QPointF(0, 1.5), 20, 20);
    QLinearGradient fill(0, 4, 0, 44);
    fill.setColorAt(0, colour.lighter(130));
    fill.setColorAt(1, colour.darker(115));
    painter.setPen(QPen(colour.darker(140), 1));
    painter.setBrush(fill);
    painter.drawEllipse(centre, 20, 20);
    QLinearGradient shine(0, 4, 0, 24);
    shine.setColorAt(0, QColor(255, 255, 255, 110));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawEllipse(QRectF(9, 5, 30, 20));
    painter.setFont(PictureFont(pixelSize, true));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(4, 4, 40, 40), Qt::AlignCenter, sign);
    return pixmap;
}

QPixmap DisabledLook(const QPixmap& source) {
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 150 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 55 / 100);
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

QList<QPixmap> Pictures::PlayerButtons() {
    const QSize size(63, 35);
    const QPointF centre(31.5, 17.5);
    const QPainterPath glyphs[3] = {PlayGlyph(centre + QPointF(1.5, 0), 15), PauseGlyph(centre, 14),
                                    StopGlyph(centre, 14)};
    const QColor colours[3] = {QColor(0x22, 0x8b, 0x45), Ink, QColor(0xb8, 0x3a, 0x32)};
    QList<QPixmap> list;
    for (bool down : {false, true}) {
        for (int i = 0; i < 3; ++i)
            list << ButtonFace(size, glyphs[i], colours[i], down);
    }
    return list;
}

QList<QPixmap> Pictures::MarkButtons() {
    const QSize size(63, 35);
    const QPointF centre(31.5, 17.5);
    QPainterPath cross;
    cross.moveTo(centre + QPointF(-4.5, -4.5));
    cross.lineTo(centre + QPointF(4.5, 4.5));
    cross.moveTo(centre + QPointF(4.5, -4.5));
    cross.lineTo(centre + QPointF(-4.5, 4.5));
    QList<QPixmap> list;
    for (bool down : {false, true}) {
        list << ButtonFace(size, MarkGlyph(centre, 16, true), Accent, down);
        list << ButtonFace(size, MarkGlyph(centre, 16, false), Accent, down);
        list << ButtonFace(size, RemoveGlyph(centre, 16), Ink, down, cross, QColor(0xc0, 0x3b, 0x31));
    }
    return list;
}

QList<QPixmap> Pictures::RoundButtons() {
    const QSize size(110, 110);
    QList<QPixmap> list;
    for (int look = 0; look < 3; ++look)
        list << RoundFace(size, QColor(0x2e, 0xa0, 0x4e), QStringLiteral("Start"), true, look);
    for (int look = 0; look < 3; ++look)
        list << RoundFace(size, QColor(0xd2, 0x41, 0x37), QStringLiteral("Cancel"), false, look);
    return list;
}

QList<QPixmap> Pictures::ToolbarImages() {
    return {ToolbarOpen(), ToolbarSettings(), ToolbarBadge(Accent, QStringLiteral("i"), 24),
            ToolbarBadge(QColor(0x2a, 0x9d, 0x8f), QStringLiteral("?"), 24)};
}

QList<QPixmap> Pictures::ToolbarDisabledImages() {
    QList<QPixmap> list;
    for (const QPixmap& image : ToolbarImages())
        list << DisabledLook(image);
    return list;
}

QPixmap Pictures::PreviewBackground(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(all.topLeft(), all.bottomLeft());
    fill.setColorAt(0, QColor(0x27, 0x30, 0x3c));
    fill.setColorAt(1, QColor(0x15, 0x1a, 0x21));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(all.adjusted(2, 2, -2, -2), 8, 8);
    DrawTriangleField(painter, all.adjusted(2, 2, -2, -2), 26, QColor(0x6c, 0xb2, 0xeb), 26);
    // The screen where the video shows (the video window covers it once a source is open).
    const QRectF screen(24, 22, 335, 241);
    painter.setPen(QPen(QColor(0x4a, 0x56, 0x66), 1));
    painter.setBrush(QColor(0x0c, 0x0f, 0x13));
    painter.drawRoundedRect(screen, 4, 4);
    painter.setPen(QPen(QColor(255, 255, 255, 25), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(all.adjusted(2.5, 2.5, -2.5, -2.5), 8, 8);
    return pixmap;
}

QPixmap Pictures::PreviewEmblem(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const qreal radius = size.height() * 0.36;
    DrawEmblem(painter, QPointF(radius + 14, size.height() / 2.0), radius, Accent);
    const qreal textLeft = radius * 2 + 30;
    painter.setPen(QColor(0xe4, 0xea, 0xf1));
    painter.setFont(PictureFont(20, true));
    painter.drawText(QRectF(textLeft, size.height() / 2.0 - 28, size.width() - textLeft, 28),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("No video open"));
    painter.setPen(QColor(0x9a, 0xa8, 0xb8));
    painter.setFont(PictureFont(12, false));
    painter.drawText(QRectF(textLeft, size.height() / 2.0 + 2, size.width() - textLeft, 36),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("Click Open or drop a video file here."));
    return pixmap;
}

QPixmap Pictures::Decoration(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    DrawTriangleField(painter, all, 22, AccentLight, 70);
    QLinearGradient fade(all.topLeft(), all.bottomLeft());
    fade.setColorAt(0, QColor(0xec, 0xef, 0xf3, 255));
    fade.setColorAt(0.45, QColor(0xec, 0xef, 0xf3, 0));
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.fillRect(all, fade);
    return pixmap;
}

QPixmap Pictures::Logo(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QRectF card = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(3, 8, -3, -8);
    painter.setPen(QPen(QColor(0xc9, 0xd3, 0xde), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(card, 8, 8);
    const qreal radius = card.height() * 0.36;
    DrawEmblem(painter, QPointF(card.left() + radius + 8, card.center().y()), radius, AccentDark);
    const qreal textLeft = card.left() + radius * 2 + 15;
    painter.setPen(Ink);
    painter.setFont(PictureFont(17, true));
    painter.drawText(QRectF(textLeft, card.top() + 4, card.right() - textLeft, card.height() * 0.58),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Corvexa"));
    painter.setPen(QColor(0x6b, 0x78, 0x88));
    painter.setFont(PictureFont(9, false));
    painter.drawText(QRectF(textLeft, card.top() + card.height() * 0.6, card.right() - textLeft, 14),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("video tools"));
    return pixmap;
}

QPixmap Pictures::AboutSide(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    Smooth(painter);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(all.topLeft(), all.bottomRight());
    fill.setColorAt(0, AccentLight);
    fill.setColorAt(1, AccentDark);
    painter.fillRect(all, fill);
    DrawTriangleField(painter, all, 24, QColor(255, 255, 255), 45);
    DrawEmblem(painter, QPointF(all.center().x(), all.height() * 0.42), size.width() * 0.30,
               Accent.darker(110));
    painter.setPen(Qt::white);
    painter.setFont(PictureFont(15, true));
    painter.drawText(QRectF(0, all.height() * 0.68, all.width(), 22), Qt::AlignCenter,
                     QStringLiteral("Tessel"));
    return pixmap;
}

QPixmap Pictures::ProgramIcon(int side) {
    QPixmap pixmap = Blank(QSize(side, side));
    QPainter painter(&pixmap);
    Smooth(painter);
    DrawEmblem(painter, QPointF(side / 2.0, side / 2.0), side * 0.48, Accent);
    return pixmap;
}
