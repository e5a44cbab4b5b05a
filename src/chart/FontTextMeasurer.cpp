#include "chart/FontTextMeasurer.h"

#include <cmath>

namespace lineara {

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr std::size_t kMetricsCacheLimit = 64;

}  // namespace

FontTextMeasurer::FontTextMeasurer(int dpi) : device_(1, 1, QImage::Format_ARGB32) {
    const int dots_per_metre = static_cast<int>(std::lround(dpi / kMetresPerInch));
    device_.setDotsPerMeterX(dots_per_metre);
    device_.setDotsPerMeterY(dots_per_metre);
}

QFont FontTextMeasurer::ToQFont(const ChartFont& font) {
    QFont qfont;
    if (!font.family.isEmpty()) {
        qfont.setFamily(font.family);
    }
    if (font.point_size > 0) {
        qfont.setPointSizeF(font.point_size);
    }
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
}

const QFontMetricsF& FontTextMeasurer::MetricsFor(const ChartFont& font) const {
    for (const auto& [known, metrics] : metrics_) {
        if (known == font) {
            return metrics;
        }
    }
    if (metrics_.size() >= kMetricsCacheLimit) {
        metrics_.clear();
    }
    metrics_.emplace_back(font, QFontMetricsF(ToQFont(font), &device_));
    return metrics_.back().second;
}

QSizeF FontTextMeasurer::Size(const QString& text, const ChartFont& font) const {
    const QFontMetricsF& metrics = MetricsFor(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

}  // namespace lineara
