#include "hydro/ui/hydro_glyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace k4 {

namespace {

const QColor kSteel(0x40, 0x40, 0x48);
const QColor kWater(0x20, 0x90, 0xE0);
const QColor kPipe(0x80, 0x80, 0x88);

void pump(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(QColor(0xE0, 0xE0, 0xE8));
    p.drawEllipse(QRectF(5, 5, 22, 22));
    p.setBrush(kWater);
    // The impeller: three blades round the hub.
    for (int blade = 0; blade < 3; ++blade) {
        p.save();
        p.translate(16, 16);
        p.rotate(120.0 * blade);
        QPainterPath path;
        path.moveTo(0, 0);
        path.cubicTo(3, -4, 8, -6, 9, -2);
        path.cubicTo(6, -1, 3, 1, 0, 0);
        p.drawPath(path);
        p.restore();
    }
    p.setBrush(kSteel);
    p.drawEllipse(QPointF(16, 16), 2.5, 2.5);
    p.fillRect(QRectF(26, 13, 6, 6), kPipe);
    p.fillRect(QRectF(0, 13, 6, 6), kPipe);
}

void tank(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(5, 3, 22, 27), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0xC8, 0xFF));
    p.drawRect(QRectF(6, 14, 20, 15));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPointF(9, 18), QPointF(15, 18));
    p.drawLine(QPointF(17, 22), QPointF(23, 22));
}

void gateValve(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(QColor(0xC0, 0x30, 0x30));
    p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(16, 19), QPointF(3, 28)}));
    p.drawPolygon(QPolygonF({QPointF(29, 10), QPointF(16, 19), QPointF(29, 28)}));
    p.drawLine(QPointF(16, 19), QPointF(16, 6));
    p.drawLine(QPointF(10, 5), QPointF(22, 5));
}

void thermometer(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(13, 2, 7, 22), 3.5, 3.5);
    p.setBrush(QColor(0xE0, 0x20, 0x20));
    p.drawEllipse(QPointF(16.5, 25), 5, 5);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(15, 10, 3, 14));
    p.setPen(QPen(kSteel, 1));
    for (int y = 6; y <= 20; y += 4) p.drawLine(QPointF(21, y), QPointF(25, y));
}

void pressureGauge(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(QPen(kSteel, 1));
    for (int tick = 0; tick <= 6; ++tick) {
        const double a = (225.0 - 45.0 * tick) * M_PI / 180.0;
        p.drawLine(QPointF(16 + 9 * std::cos(a), 16 - 9 * std::sin(a)), QPointF(16 + 12 * std::cos(a), 16 - 12 * std::sin(a)));
    }
    p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 2));
    p.drawLine(QPointF(16, 16), QPointF(23, 9));
    p.setBrush(kSteel);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 16), 2, 2);
}

void well(QPainter& p) {
    p.fillRect(QRectF(0, 6, 32, 26), QColor(0xA0, 0x78, 0x40));
    p.fillRect(QRectF(11, 6, 10, 26), QColor(0xF0, 0xF0, 0xF0));
    p.fillRect(QRectF(11, 20, 10, 12), kWater);
    p.setPen(QPen(kSteel, 2));
    p.drawLine(QPointF(10, 6), QPointF(10, 32));
    p.drawLine(QPointF(22, 6), QPointF(22, 32));
    p.drawLine(QPointF(6, 3), QPointF(26, 3));
    p.drawLine(QPointF(16, 3), QPointF(16, 18));
}

void hydrophore(QPainter& p) {
    p.setPen(QPen(kSteel, 2));
    p.setBrush(QColor(0xE8, 0xE8, 0xF0));
    p.drawRoundedRect(QRectF(8, 2, 16, 26), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(kWater);
    p.drawRoundedRect(QRectF(9, 14, 14, 13), 6, 6);
    p.setPen(QPen(kSteel, 2));
    p.drawLine(QPointF(11, 28), QPointF(9, 31));
    p.drawLine(QPointF(21, 28), QPointF(23, 31));
}

void flow(QPainter& p, bool instantaneous) {
    p.fillRect(QRectF(0, 11, 32, 10), kPipe);
    p.setPen(Qt::NoPen);
    p.setBrush(kWater);
    p.drawPolygon(QPolygonF({QPointF(4, 13), QPointF(18, 13), QPointF(18, 8), QPointF(28, 16), QPointF(18, 24),
                             QPointF(18, 19), QPointF(4, 19)}));
    if (instantaneous) {
        // A small dial above the pipe: a rate, not a total.
        p.setPen(QPen(kSteel, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(10, 0, 10, 10));
        p.drawLine(QPointF(15, 5), QPointF(18, 2));
    } else {
        p.setPen(QPen(kSteel, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 24, 16, 7));
        p.drawLine(QPointF(12, 24), QPointF(12, 31));
        p.drawLine(QPointF(16, 24), QPointF(16, 31));
        p.drawLine(QPointF(20, 24), QPointF(20, 31));
    }
}

QImage makeDigitStrip() {
    QImage strip(kDigitWidth, kDigitHeight * kDigitGlyphs, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter p(&strip);
    QFont font;
    font.setFamilies({"DejaVu Sans Mono", "Liberation Mono", "Courier New"});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    const char* const glyphs = "0123456789ABCDEF";
    for (int i = 0; i < kDigitGlyphs; ++i) {
        const QRect cell(0, i * kDigitHeight, kDigitWidth, kDigitHeight);
        // A thin line between the wheels of a real counter.
        p.fillRect(QRect(0, cell.top(), kDigitWidth, 1), QColor(0x30, 0x30, 0x30));
        if (i < kBlankDigit) p.drawText(cell, Qt::AlignCenter, QString(QChar::fromLatin1(glyphs[i])));
    }
    return strip;
}

} // namespace

const char* glyphResourceName(TGlyphKind kind) {
    static const char* const kNames[] = {"",           "B_POMPA",  "B_ZBIORNIK", "B_ZASUWA",   "B_TEMP",
                                         "B_CISNIENIE", "B_STUDNIA", "B_HYDROFOR", "B_PRZEPLYW", "B_PRZEPLYW_CHW"};
    return kind >= gkNone && kind <= gkPrzeplywChw ? kNames[kind] : "";
}

QImage hydroGlyph(TGlyphKind kind) {
    if (kind <= gkNone || kind > gkPrzeplywChw) return {};
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case gkPompa: pump(p); break;
    case gkZbiornik: tank(p); break;
    case gkZasuwa: gateValve(p); break;
    case gkTemperatura: thermometer(p); break;
    case gkCisnienie: pressureGauge(p); break;
    case gkStudnia: well(p); break;
    case gkHydrofor: hydrophore(p); break;
    case gkPrzeplyw: flow(p, false); break;
    case gkPrzeplywChw: flow(p, true); break;
    default: break;
    }
    return image;
}

const QImage& digitStrip() {
    static const QImage strip = makeDigitStrip();
    return strip;
}

} // namespace k4
