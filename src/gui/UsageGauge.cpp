#include "gui/UsageGauge.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace vexlon::gui {

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 320;

// Nearest integer, halves to even.
int64_t nearest(double x)
{
    return static_cast<int64_t>(std::nearbyint(x));
}

int px(double x)
{
    return static_cast<int>(nearest(x));
}

} // namespace

QImage drawGauge(const GaugeValues& v)
{
    const int W = kWidth - 10;
    const int H = kHeight - 10;
    const int P = H - 40;
    const int B = px((W - 240) / 6.0);
    const double top = double(std::max<int64_t>({v.size, v.used, 1}));
    const double s = top / P;          // bytes per pixel
    const double t = 100.0 / P;        // percent per pixel
    const QColor face = QApplication::palette().color(QPalette::Button);

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(face);
    // Rectangles from (x1, y1) to (x2, y2) cover x1..x2-1 and y1..y2-1.
    const auto rect = [&p](int x1, int y1, int x2, int y2) { p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1); };
    rect(0, 0, kWidth, kHeight);
    rect(5, 5, W + 5, H + 5);

    QFont small(QStringLiteral("Tahoma"));
    small.setPointSize(7);
    p.setFont(small);
    const auto text = [&p](int x, int y, const QString& str) {
        p.drawText(QRect(x, y, 400, 40), Qt::AlignLeft | Qt::AlignTop, str);
    };
    for (int k = 1; k <= 10; ++k) {
        const int y = H - px(k * P / 10.0);
        p.drawLine(10, y, 3 * B + 125, y);
        p.drawLine(4 * B + 145, y, W + 5, y);
        text(10, y - 5, QString::number(nearest(P * k / 10.0 * s)));
        text(4 * B + 145, y - 5, QString::number(nearest(P * k / 10.0 * t)));
    }
    text(10, H - P - 20, QStringLiteral("bytes"));
    text(4 * B + 145, H - P - 20, QStringLiteral("%"));

    QFont normal(QStringLiteral("Tahoma"));
    normal.setPointSize(8);
    p.setFont(normal);
    struct Bar {
        int x1, x2;
        int64_t value;
        double scale;
        QColor colour;
        QString name;
        QString valueText;
    };
    const Bar bars[] = {
        {35, B + 35, v.code, s, QColor(255, 255, 0), QStringLiteral(" iTAP Code "),
         QStringLiteral("~%1 bytes").arg(v.code)},
        {B + 65, 2 * B + 65, v.free, s, QColor(0, 0, 255), QStringLiteral(" Free "), QStringLiteral("%1 bytes").arg(v.free)},
        {2 * B + 95, 3 * B + 95, v.used, s, QColor(255, 0, 255), QStringLiteral(" Used "),
         QStringLiteral("%1 bytes").arg(v.used)},
        {3 * B + 125, 4 * B + 125, v.size, s, QColor(0, 255, 0), QStringLiteral(" max UD Size "),
         QStringLiteral("%1 bytes").arg(v.size)},
        {4 * B + 185, 5 * B + 185, v.usingPercent, t, QColor(0, 255, 255), QStringLiteral(" Using "),
         QStringLiteral("%1 %").arg(v.usingPercent)},
        {5 * B + 215, 6 * B + 215, v.overloading, t, QColor(255, 0, 0), QStringLiteral(" Overloading "),
         QStringLiteral("%1 %").arg(v.overloading)},
    };
    for (const Bar& bar : bars) {
        const int y = H - px(double(bar.value) / bar.scale);
        p.setBrush(bar.colour);
        rect(bar.x1, y, bar.x2, H + 5);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(face);
        text(bar.x1, y - 30, bar.name);
        text(bar.x1, y - 18, bar.valueText);
        p.setBackgroundMode(Qt::TransparentMode);
    }
    p.drawLine(5, H, W + 5, H);
    return image;
}

UsageGaugeWindow::UsageGaugeWindow(const GaugeValues& values, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_values(values), m_picture(drawGauge(values))
{
    setObjectName(QStringLiteral("UsageGauge"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vexlon"));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void UsageGaugeWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

} // namespace vexlon::gui
