#pragma once

#include "chart/ChartLayout.h"

#include <QFontMetricsF>
#include <QImage>

#include <utility>
#include <vector>

namespace lineara {

// Measures with the real fonts, for a device of the given logical resolution (dots per
// inch): 96 for an ordinary screen, the printer's for a printout.
class FontTextMeasurer : public TextMeasurer {
public:
    explicit FontTextMeasurer(int dpi = 96);

    QSizeF Size(const QString& text, const ChartFont& font) const override;
    // The Qt font a chart font stands for.
    static QFont ToQFont(const ChartFont& font);

private:
    const QFontMetricsF& MetricsFor(const ChartFont& font) const;

    // Carries the resolution: fonts measured against it scale points as that device would.
    QImage device_;
    // A fit tries a handful of fonts many times over; finding their metrics again each time
    // would cost more than the measuring itself.
    mutable std::vector<std::pair<ChartFont, QFontMetricsF>> metrics_;
};

}  // namespace lineara
