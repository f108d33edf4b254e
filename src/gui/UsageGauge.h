// The usage gauge: a 580 x 320 bar chart of how the phone's users
// dictionary is used, opened by a click on the dictionary status line. The
// values are taken once, when the window opens.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

namespace vexlon::gui {

struct GaugeValues {
    int64_t code = 0;        // 5 per word record plus 19 bytes of header and trailer
    int64_t free = 0;        // free bytes, 0 when the words do not fit
    int64_t used = 0;        // bytes the file takes
    int64_t size = 0;        // the users dictionary size
    int64_t usingPercent = 0;
    int64_t overloading = 0; // percent by which the words exceed the size, 0..100
};

// From the size S, the free bytes F (negative when overfull) and the row count.
GaugeValues computeGauge(int32_t size, int32_t freeBytes, int rowCount);

// Draws the chart as described for the gauge window.
QImage drawGauge(const GaugeValues& values);

// The gauge window: fixed size, titled "Vexlon"; it paints the stored
// picture whenever it is uncovered.
class UsageGaugeWindow : public QWidget {
    Q_OBJECT
public:
    UsageGaugeWindow(const GaugeValues& values, QWidget* owner);
    const GaugeValues& values() const { return m_values; }
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GaugeValues m_values;
    QImage m_picture;
};

} // namespace vexlon::gui
