#include "gui/UsageGauge.h"

#include <QApplication>
#include <QKeyEvent>
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

    // Text sizes in pixels, not points: the picture has a fixed size, so its
    // labels must not grow with the screen's resolution into each other.
    // Every label is written on the face colour, so no grid line runs
    // through it.
    const auto label = [&p, &face](int x, int y, const QString& str) {
        const QFontMetrics metrics(p.font());
        const QRect box(x, y, metrics.horizontalAdvance(str) + 2, metrics.height());
        p.fillRect(box, face);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, str);
    };
    for (int k = 1; k <= 10; ++k) {
        const int y = H - px(k * P / 10.0);
        p.drawLine(10, y, 3 * B + 125, y);
        p.drawLine(4 * B + 145, y, W + 5, y);
    }

    QFont normal(QStringLiteral("Tahoma"));
    normal.setPixelSize(11);
    p.setFont(normal);
    const int lineHeight = QFontMetrics(normal).height();
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
    }
    // The names and values over the bars and the grid, one line each.
    for (const Bar& bar : bars) {
        const int y = H - px(double(bar.value) / bar.scale);
        label(bar.x1, y - 2 - 2 * lineHeight, bar.name);
        label(bar.x1, y - 1 - lineHeight, bar.valueText);
    }
    // The scales' numbers last, so that no bar or bar name hides one; each is
    // centred on its grid line, which it interrupts.
    QFont small(QStringLiteral("Tahoma"));
    small.setPixelSize(10);
    p.setFont(small);
    const int smallHeight = QFontMetrics(small).height();
    for (int k = 1; k <= 10; ++k) {
        const int y = H - px(k * P / 10.0);
        label(10, y - smallHeight / 2, QString::number(nearest(P * k / 10.0 * s)));
        label(4 * B + 145, y - smallHeight / 2, QString::number(nearest(P * k / 10.0 * t)));
    }
    label(10, H - P - 20, QStringLiteral("bytes"));
    label(4 * B + 145, H - P - 20, QStringLiteral("%"));
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

void UsageGaugeWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void UsageGaugeWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

} // namespace vexlon::gui
