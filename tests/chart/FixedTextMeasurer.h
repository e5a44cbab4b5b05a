#pragma once

#include "chart/ChartLayout.h"

namespace lineara::test {

// Metrics simple enough to work out by hand: every character is 0.6 of the size wide, a
// line is 1.2 of the size high (sizes taken as pixels).
class FixedTextMeasurer : public TextMeasurer {
public:
    static constexpr double kCharWidth = 0.6;
    static constexpr double kLineHeight = 1.2;

    QSizeF Size(const QString& text, const ChartFont& font) const override {
        ++calls;
        return {static_cast<double>(text.size()) * kCharWidth * font.point_size,
                kLineHeight * font.point_size};
    }

    mutable int calls = 0;
};

}  // namespace lineara::test
