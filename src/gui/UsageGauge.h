// The usage gauge: a 580 x 320 bar chart of how the phone's users
// dictionary is used, opened by a click on the dictionary status line. The
// values are taken once, when the window opens.
#pragma once

#include "core/app/Gauge.h"

#include <QImage>
#include <QWidget>
#include <cstdint>

namespace vexlon::gui {

using vexlon::GaugeValues;

// Draws the chart as described for the gauge window.
QImage drawGauge(const GaugeValues& values);

// The gauge window: fixed size, titled "Vexlon"; it paints the stored
// picture whenever it is uncovered, and Escape closes it.
class UsageGaugeWindow : public QWidget {
    Q_OBJECT
public:
    UsageGaugeWindow(const GaugeValues& values, QWidget* owner);
    const GaugeValues& values() const { return m_values; }
    const QImage& picture() const { return m_picture; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    GaugeValues m_values;
    QImage m_picture;
};

} // namespace vexlon::gui
