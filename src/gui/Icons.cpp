#include "gui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vexlon::gui {

namespace {

// All pictures are drawn on a 64 x 64 grid and scaled.
void sheet(QPainter& p, const QColor& paper, const QColor& ink)
{
    QPainterPath page;
    page.moveTo(14, 6);
    page.lineTo(40, 6);
    page.lineTo(52, 18);
    page.lineTo(52, 58);
    page.lineTo(14, 58);
    page.closeSubpath();
    p.setPen(QPen(ink, 2));
    p.setBrush(paper);
    p.drawPath(page);
    p.drawLine(QPointF(40, 6), QPointF(40, 18));
    p.drawLine(QPointF(40, 18), QPointF(52, 18));
}

void lines(QPainter& p, const QColor& ink, int count, int top = 26)
{
    p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(20, top + i * 7), QPointF(i % 2 ? 38 : 46, top + i * 7));
}

void phone(QPainter& p, QRectF body)
{
    p.setPen(QPen(QColor(30, 40, 60), 2));
    p.setBrush(QColor(70, 90, 130));
    p.drawRoundedRect(body, 5, 5);
    const QRectF screen(body.left() + 4, body.top() + 5, body.width() - 8, body.height() * 0.38);
    p.setBrush(QColor(170, 220, 160));
    p.setPen(QPen(QColor(30, 40, 60), 1));
    p.drawRect(screen);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 230, 240));
    const double keyTop = screen.bottom() + 4;
    const double cell = (body.width() - 8) / 3.0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawEllipse(QPointF(body.left() + 4 + cell * (c + 0.5), keyTop + 4 + r * cell * 0.8), cell * 0.3, cell * 0.25);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF a = to - QPointF(std::cos(angle - 0.6) * 10, std::sin(angle - 0.6) * 10);
    const QPointF b = to - QPointF(std::cos(angle + 0.6) * 10, std::sin(angle + 0.6) * 10);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPointF tip = to + QPointF(std::cos(angle) * 4, std::sin(angle) * 4);
    p.drawPolygon(QPolygonF({tip, a, b}));
}

void disk(QPainter& p, QRectF r)
{
    p.setPen(QPen(QColor(20, 30, 80), 2));
    p.setBrush(QColor(40, 80, 170));
    p.drawRoundedRect(r, 3, 3);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.08, r.width() * 0.6, r.height() * 0.35));
    p.setBrush(QColor(120, 140, 190));
    p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.6, r.width() * 0.5, r.height() * 0.32));
}

void drawKind(QPainter& p, IconKind kind)
{
    const QColor ink(40, 40, 40);
    switch (kind) {
    case IconKind::NewDictionary:
        sheet(p, Qt::white, ink);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 0));
        p.drawEllipse(QPointF(46, 48), 10, 10);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(46, 42), QPointF(46, 54));
        p.drawLine(QPointF(40, 48), QPointF(52, 48));
        break;
    case IconKind::OpenDictionary:
        p.setPen(QPen(QColor(130, 90, 10), 2));
        p.setBrush(QColor(230, 180, 60));
        p.drawRect(QRectF(6, 16, 44, 38));
        p.setBrush(QColor(250, 210, 100));
        p.drawPolygon(QPolygonF({QPointF(6, 54), QPointF(16, 28), QPointF(60, 28), QPointF(50, 54)}));
        break;
    case IconKind::SaveDictionary:
        disk(p, QRectF(8, 8, 48, 48));
        break;
    case IconKind::OpenFromPhone:
        phone(p, QRectF(4, 6, 24, 52));
        disk(p, QRectF(36, 34, 24, 24));
        arrow(p, QPointF(26, 14), QPointF(48, 26), QColor(0, 150, 0));
        break;
    case IconKind::SaveToPhone:
        phone(p, QRectF(36, 6, 24, 52));
        disk(p, QRectF(4, 34, 24, 24));
        arrow(p, QPointF(16, 28), QPointF(36, 14), QColor(200, 60, 0));
        break;
    case IconKind::Settings: {
        p.setPen(QPen(QColor(60, 60, 70), 2));
        p.setBrush(QColor(150, 155, 170));
        QPainterPath gear;
        for (int i = 0; i < 16; ++i) {
            const double a = i * M_PI / 8;
            const double r = i % 2 ? 20 : 27;
            const QPointF pt(32 + r * std::cos(a), 32 + r * std::sin(a));
            i == 0 ? gear.moveTo(pt) : gear.lineTo(pt);
        }
        gear.closeSubpath();
        gear.addEllipse(QPointF(32, 32), 8, 8);
        gear.setFillRule(Qt::OddEvenFill);
        p.drawPath(gear);
        break;
    }
    case IconKind::BlackList:
        sheet(p, QColor(50, 50, 50), Qt::black);
        lines(p, QColor(220, 220, 220), 4);
        break;
    case IconKind::WhiteList:
        sheet(p, Qt::white, ink);
        lines(p, QColor(80, 80, 80), 4);
        break;
    case IconKind::Statistic: {
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(6, 58), QPointF(60, 58));
        p.drawLine(QPointF(6, 58), QPointF(6, 4));
        const QColor colours[] = {QColor(220, 60, 60), QColor(60, 160, 60), QColor(60, 90, 200), QColor(230, 180, 30)};
        const int heights[] = {22, 40, 30, 50};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawRect(QRectF(12 + i * 12, 58 - heights[i], 9, heights[i]));
        }
        break;
    }
    case IconKind::About: {
        p.setPen(QPen(QColor(20, 60, 140), 2));
        p.setBrush(QColor(60, 120, 220));
        p.drawEllipse(QPointF(32, 32), 27, 27);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(32, 18), 5, 5);
        p.drawRoundedRect(QRectF(27.5, 27, 9, 24), 2, 2);
        break;
    }
    }
}

} // namespace

QImage drawIcon(IconKind kind, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 64.0, size / 64.0);
    drawKind(p, kind);
    return image;
}

QIcon makeIcon(IconKind kind, int size)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(drawIcon(kind, size)));
    if (size != 16)
        icon.addPixmap(QPixmap::fromImage(drawIcon(kind, 16)));
    return icon;
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icons/vexlon.svg"));
}

} // namespace vexlon::gui
