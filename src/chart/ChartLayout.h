#pragma once

#include "app/SettingsRecord.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>

namespace lineara {

// A font as the chart uses it; the size is in points.
struct ChartFont {
    QString family;
    double point_size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const ChartFont&) const = default;
};

// Measures text the way a self-sizing label would show it: width = the text's advance,
// height = the font's line height. The screen, the printer and the tests each bring their own.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual QSizeF Size(const QString& text, const ChartFont& font) const = 0;
};

// One name or information line of the chart, ready to paint.
struct ChartLabel {
    QString caption;
    ChartFont font;
    qint32 colour = 0;  // 0x00BBGGRR
    QRectF rect;
    bool visible = false;
};

// The coloured ground behind the name of a dog that stands at more than one place.
struct ChartMark {
    QRectF rect;
    qint32 colour = 0;  // 0x00BBGGRR
    bool visible = false;
    QString hint;  // how often the dog appears on either side
};

struct ChartSegment {
    QLineF line;
    bool visible = false;
};

// Where everything of the chart goes in an area of the given size (pixels).
struct ChartGeometry {
    double font_size = 0;  // the fitted name size, points
    std::array<ChartLabel, kMaxPositions + 1> names;
    std::array<ChartLabel, kMaxPositions + 1> infos;
    // Filled only while repeated ancestors are highlighted.
    std::array<ChartMark, kMaxPositions + 1> marks;
    // Element p joins place p to its child: the whole diagonal, or the horizontal part of a
    // right-angle line, whose vertical part is element p + 127.
    std::array<ChartSegment, 2 * kMaxPositions + 1> lines;
    double line_width = 1;
    qint32 line_colour = 0;
    bool american_flag = false;  // which flag picture tells the title style
    QRectF flag_rect;
};

// The caption a place shows: its name, upper-cased when its style says so. The chart, the
// printout and the exports all go through this, so they never disagree.
QString ChartCaption(const ChartEntry& entry, const ViewState& view);

// The font and colour of a place's name, before fitting (size left at 0).
ChartFont NameFont(bool champion, const ViewState& view, const SettingsRecord& settings);
qint32 NameColour(bool champion, const ViewState& view, const SettingsRecord& settings);

// The mark behind a name: the name's box with a small margin all round. The screen and the
// printed page both use it, whatever their units.
QRectF RepeatMarkRect(const QRectF& name_rect);

// Fits and places the chart in the area: one font size for every name, chosen so that all
// places fit the height and the widest name takes at most half the width (never below
// 8 points), one column per generation, the connecting lines, the information lines and the
// title-style flag (of the given size) in the bottom-left corner.
ChartGeometry ArrangeChart(const ChartModel& model, const ViewState& view,
                           const SettingsRecord& settings, QSizeF area, const TextMeasurer& measure,
                           QSizeF flag_size);

}  // namespace lineara
