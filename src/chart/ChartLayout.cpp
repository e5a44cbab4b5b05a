#include "chart/ChartLayout.h"

#include "chart/RepeatedAncestors.h"

#include <algorithm>
#include <cmath>

namespace lineara {

namespace {

// The fitting loops never go below this size; names may then overlap, but none is cut.
constexpr double kSmallestSize = 8;
// The height fit starts one above the largest size it tries.
constexpr double kSizeAboveLargest = 25;
constexpr double kMarginFraction = 0.01;
constexpr double kInfoSizeFactor = 0.75;

const NameStyle& StyleOf(bool champion, const ViewState& view) {
    return champion ? view.champ : view.not_champ;
}

// Place p in generation g is the k-th of that generation from the top, k = 1..2^g.
int RankInGeneration(int position, int generation) {
    return position - (1 << generation) + 1;
}

}  // namespace

QString ChartCaption(const ChartEntry& entry, const ViewState& view) {
    return StyleOf(entry.champion, view).uppercase ? entry.display_name.toUpper()
                                                   : entry.display_name;
}

ChartFont NameFont(bool champion, const ViewState& view, const SettingsRecord& settings) {
    const NameStyle& style = StyleOf(champion, view);
    ChartFont font;
    font.family = (champion ? settings.ChampFontName : settings.NotChFontName).trimmed();
    font.bold = style.bold;
    font.italic = style.italic;
    font.underline = style.underline;
    return font;
}

qint32 NameColour(bool champion, const ViewState& view, const SettingsRecord& settings) {
    if (!StyleOf(champion, view).use_colour) {
        return 0;
    }
    return champion ? settings.ChampColour : settings.NotChColour;
}

QRectF RepeatMarkRect(const QRectF& name_rect) {
    const double margin = kRepeatMarkMargin * name_rect.height();
    return name_rect.adjusted(-2 * margin, -margin, 2 * margin, margin);
}

ChartGeometry ArrangeChart(const ChartModel& model, const ViewState& view,
                           const SettingsRecord& settings, QSizeF area, const TextMeasurer& measure,
                           QSizeF flag_size) {
    ChartGeometry geometry;
    const int gens = view.CurrentNumGens();
    const int count = PositionCount(gens);
    const double width = area.width();
    const double height = area.height();
    const double left0 = kMarginFraction * width;
    const double usable_width = (1 - 2 * kMarginFraction) * width;

    // Text heights are measured in the style of the last place: the font the names were
    // styled in last, which is what the chart has always measured with.
    ChartFont height_font = NameFont(model.At(count).champion, view, settings);
    const QString height_sample = QStringLiteral("Yy");
    const auto text_height = [&](double size) {
        height_font.point_size = size;
        return measure.Size(height_sample, height_font).height();
    };

    // Height fit: the largest size (24 down to 9) at which every place fits one above the
    // other. When even 9 does not fit the size drops to 8, keeping the spacing measured at 9.
    double size = kSizeAboveLargest;
    double top0 = 0;
    double available_height = 0;
    for (;;) {
        size -= 1;
        if (size <= kSmallestSize) {
            break;
        }
        const double text_h = text_height(size);
        top0 = kMarginFraction * height + text_h / 2;
        available_height = (1 - 2 * kMarginFraction) * height - text_h;
        if (count * text_h <= available_height) {
            break;
        }
    }

    // Style pass.
    std::array<QSizeF, kMaxPositions + 1> sizes{};
    const ChartFont champ_font = NameFont(true, view, settings);
    const ChartFont other_font = NameFont(false, view, settings);
    for (int p = 1; p <= count; ++p) {
        const ChartEntry& entry = model.At(p);
        ChartLabel& label = geometry.names[static_cast<std::size_t>(p)];
        label.caption = ChartCaption(entry, view);
        label.font = entry.champion ? champ_font : other_font;
        label.colour = NameColour(entry.champion, view, settings);
    }
    const auto widest_name = [&](double point_size) {
        double widest = 0;
        for (int p = 1; p <= count; ++p) {
            ChartLabel& label = geometry.names[static_cast<std::size_t>(p)];
            label.font.point_size = point_size;
            const QSizeF label_size = measure.Size(label.caption, label.font);
            sizes[static_cast<std::size_t>(p)] = label_size;
            widest = std::max(widest, label_size.width());
        }
        return widest;
    };
    double widest = widest_name(size);

    // Width fit: shrink until the widest name takes at most half the width.
    while (widest > width / 2 && size > kSmallestSize) {
        size -= 1;
        widest = widest_name(size);
    }
    geometry.font_size = size;
    const double text_h = text_height(size);

    // Placement. The root stands at the left margin and the outermost generation so far
    // right that the widest name ends at the right margin; the outermost names are spread
    // evenly over the available height and every other name is centred between its parents.
    std::array<QPointF, kMaxPositions + 1> top_left{};
    const double row_span = gens > 0 ? available_height / ((1 << (gens + 1)) - 2) : 0;
    for (int p = 1; p <= count; ++p) {
        const int g = GenerationOf(p);
        const int k = RankInGeneration(p, g);
        const double left = gens > 0 ? left0 + (usable_width - widest) * g / gens : left0;
        // With no ancestors shown the single name simply sits in the middle.
        const double top =
            gens > 0 ? top0 + ((2 * k - 1) * (1 << (gens - g)) - 1) * row_span - text_h / 2
                     : top0 + available_height / 2 - text_h / 2;
        top_left[static_cast<std::size_t>(p)] = QPointF(left, top);
        ChartLabel& label = geometry.names[static_cast<std::size_t>(p)];
        label.rect = QRectF(QPointF(left, top), sizes[static_cast<std::size_t>(p)]);
        label.visible = true;
    }

    if (view.highlight_repeats) {
        const RepeatedAncestors repeats = RepeatedAncestors::Find(model, count);
        for (int p = 1; p <= count; ++p) {
            const RepeatMark& mark = repeats.At(p);
            if (mark.Repeated()) {
                const auto i = static_cast<std::size_t>(p);
                geometry.marks[i] = {RepeatMarkRect(geometry.names[i].rect),
                                     RepeatColour(mark.colour_index), true, RepeatHint(mark)};
            }
        }
    }

    // Lines from a little left of each ancestor's name to its child's column; the child end
    // meets the top of the child's name for a sire, its bottom for a dam.
    geometry.line_width = view.LineWidth();
    geometry.line_colour = view.line_use_colour ? settings.LineColour : 0;
    const double offset = settings.LineOffset;
    for (int p = 2; view.show_lines && p <= count; ++p) {
        const int c = p / 2;
        const bool sire = p % 2 == 0;
        const QPointF parent = top_left[static_cast<std::size_t>(p)];
        const QPointF child = top_left[static_cast<std::size_t>(c)];
        const double x1 = parent.x() - text_h / 4;
        const double y1 = parent.y() + text_h / 2;
        const double xm = child.x() + (parent.x() - child.x()) * offset - text_h / 4;
        const double yc = sire ? child.y() : child.y() + text_h;
        const double dy = sire ? yc - y1 : y1 - yc;
        const double dx = std::fabs(x1 - xm);
        ChartSegment& first = geometry.lines[static_cast<std::size_t>(p)];
        ChartSegment& second = geometry.lines[static_cast<std::size_t>(p + kMaxPositions)];
        // A parent not clearly above (sire) or below (dam) its child gets no line at all:
        // it would run backwards or lie flat across the names.
        if (view.diagonal) {
            first.line = QLineF(x1, y1, xm, yc);
            first.visible = dy > dx / 20;
        } else {
            first.line = QLineF(x1, y1, xm, y1);
            second.line = QLineF(xm, y1, xm, yc);
            first.visible = second.visible = dy > dx / 50;
        }
    }

    // Information lines, for every generation but the outermost.
    if (view.additional_info != kAddlNone) {
        for (int p = 1; p <= count / 2; ++p) {
            const ChartEntry& entry = model.At(p);
            if (entry.info.isEmpty()) {
                continue;
            }
            const ChartLabel& name = geometry.names[static_cast<std::size_t>(p)];
            ChartLabel& info = geometry.infos[static_cast<std::size_t>(p)];
            info.caption = entry.info;
            info.font = name.font;
            info.font.underline = false;
            info.font.point_size = kInfoSizeFactor * size;
            info.colour = name.colour;
            info.rect = QRectF(QPointF(name.rect.left(), name.rect.bottom()),
                               measure.Size(info.caption, info.font));
            info.visible = true;
        }
    }

    geometry.american_flag = view.american;
    geometry.flag_rect = QRectF(
        QPointF(kMarginFraction * width, (1 - kMarginFraction) * height - flag_size.height()),
        flag_size);
    return geometry;
}

}  // namespace lineara
