#include "chart/ChartLayout.h"

#include "app/SettingsFile.h"
#include "chart/FixedTextMeasurer.h"
#include "chart/FontTextMeasurer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace lineara {
namespace {

constexpr double kEps = 1e-9;
const QSizeF kFlag(30, 20);

ViewState View(int gens) {
    ViewState view;
    view.num_gens = gens;
    view.american = true;
    view.show_lines = true;
    view.diagonal = true;
    view.line_thickness = 1;
    return view;
}

ChartModel Model(int count, const std::function<QString(int)>& name) {
    ChartModel model;
    for (int p = 1; p <= count; ++p) {
        ChartEntry entry;
        entry.dog = p;
        entry.display_name = name(p);
        model.SetEntry(p, entry);
    }
    return model;
}

const ChartLabel& Name(const ChartGeometry& g, int p) {
    return g.names[static_cast<std::size_t>(p)];
}
const ChartSegment& Line(const ChartGeometry& g, int element) {
    return g.lines[static_cast<std::size_t>(element)];
}

class ChartLayoutTest : public ::testing::Test {
protected:
    ChartGeometry Arrange(const ChartModel& model, const ViewState& view, QSizeF area) {
        return ArrangeChart(model, view, settings_, area, measure_, kFlag);
    }

    SettingsRecord settings_ = RestoreDefaultSettings();
    test::FixedTextMeasurer measure_;
};

TEST_F(ChartLayoutTest, TwoGenerationsInALargeArea) {
    // Place 6 holds the widest name (20 characters); places beyond the two generations shown
    // keep their entries, which must neither be drawn nor count for the width.
    const ChartModel model = Model(kMaxPositions, [](int p) {
        if (p > 7) {
            return QStringLiteral("A name far too long for the width of the chart");
        }
        return p == 6 ? QStringLiteral("A twenty-letter name") : QStringLiteral("Dog %1").arg(p);
    });
    const ChartGeometry g = Arrange(model, View(2), QSizeF(1000, 800));

    ASSERT_EQ(g.font_size, 24);
    const double text_h = 1.2 * 24;
    const double top0 = 8 + text_h / 2;
    const double available = 784 - text_h;
    // The root sits in the middle of the height, at the left margin.
    EXPECT_NEAR(Name(g, 1).rect.center().y(), top0 + available / 2, kEps);
    EXPECT_NEAR(Name(g, 1).rect.left(), 10, kEps);
    // The outer generation is spread evenly from Top0 to Top0 + AH; parents frame their child.
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(Name(g, 4 + i).rect.center().y(), top0 + i * available / 3, kEps) << 4 + i;
    }
    EXPECT_NEAR(Name(g, 2).rect.center().y(),
                (Name(g, 4).rect.center().y() + Name(g, 5).rect.center().y()) / 2, kEps);
    // Columns: the widest name ends at the right margin.
    EXPECT_NEAR(Name(g, 6).rect.right(), 990, kEps);
    EXPECT_NEAR(Name(g, 3).rect.left(), 10 + (980 - 288) / 2.0, kEps);
    EXPECT_NEAR(Name(g, 7).rect.left(), 10 + 980 - 288, kEps);
    EXPECT_EQ(Name(g, 5).caption, QStringLiteral("Dog 5"));

    // The sire's line runs from left of its middle to the top of the child's name, a quarter
    // of the way between the columns; the dam's to the bottom of it.
    const double x1 = Name(g, 2).rect.left() - text_h / 4;
    const double xm = 10 + (Name(g, 2).rect.left() - 10) * 0.25 - text_h / 4;
    EXPECT_EQ(Line(g, 2).line, QLineF(x1, Name(g, 2).rect.center().y(), xm, Name(g, 1).rect.top()));
    EXPECT_EQ(Line(g, 3).line,
              QLineF(x1, Name(g, 3).rect.center().y(), xm, Name(g, 1).rect.bottom()));
    for (int p = 2; p <= 7; ++p) {
        EXPECT_TRUE(Line(g, p).visible) << p;
        EXPECT_FALSE(Line(g, p + kMaxPositions).visible) << p;
    }
    for (int p = 8; p <= kMaxPositions; ++p) {
        EXPECT_FALSE(Name(g, p).visible) << p;
        EXPECT_FALSE(Line(g, p).visible) << p;
        EXPECT_FALSE(g.infos[static_cast<std::size_t>(p)].visible) << p;
    }

    EXPECT_TRUE(g.american_flag);
    EXPECT_EQ(g.flag_rect, QRectF(10, 792 - 20, 30, 20));
    EXPECT_EQ(g.line_width, 1);
}

TEST_F(ChartLayoutTest, SixGenerationsInASmallAreaStopAtEightPoints) {
    const ChartModel model =
        Model(kMaxPositions, [](int) { return QStringLiteral("[no information]"); });
    const ChartGeometry g = Arrange(model, View(6), QSizeF(600, 300));

    ASSERT_EQ(g.font_size, 8);
    // Spacing as measured at 9 points, names at 8.
    const double top0 = 3 + 1.2 * 9 / 2;
    const double available = 294 - 1.2 * 9;
    const double half_text = 1.2 * 8 / 2;
    for (int i = 0; i < 64; ++i) {
        EXPECT_NEAR(Name(g, 64 + i).rect.top(), top0 + i * available / 63 - half_text, kEps)
            << 64 + i;
    }
    EXPECT_NEAR(Name(g, 1).rect.center().y(), top0 + available / 2, kEps);
    for (int p = 1; p <= kMaxPositions; ++p) {
        EXPECT_TRUE(Name(g, p).visible);
        EXPECT_EQ(Name(g, p).font.point_size, 8);
    }
    EXPECT_NEAR(Name(g, 100).rect.right(), 594, kEps);
}

TEST_F(ChartLayoutTest, WidthFitShrinksEveryNameForTheWidest) {
    const QString long_name(60, QLatin1Char('x'));
    ChartModel model = Model(7, [&](int p) { return p == 1 ? long_name : QStringLiteral("Dog"); });
    ChartGeometry g = Arrange(model, View(2), QSizeF(1000, 800));
    // 60 characters at 0.6 of the size fit half of 1000 at 13 points, not at 14.
    EXPECT_EQ(g.font_size, 13);
    EXPECT_EQ(Name(g, 5).font.point_size, 13);
    EXPECT_NEAR(Name(g, 4).rect.left(), 10 + 980 - 60 * 0.6 * 13, kEps);

    model = Model(
        7, [](int p) { return p == 1 ? QString(200, QLatin1Char('x')) : QStringLiteral("Dog"); });
    g = Arrange(model, View(2), QSizeF(1000, 800));
    EXPECT_EQ(g.font_size, 8);
}

TEST_F(ChartLayoutTest, LinesHideWhenTheParentIsNotClearlyAboveOrBelow) {
    // All names "[no information]" at 8 points: the parents' lines are 338.7 wide, so
    // diagonals need a rise of more than 16.9 and right angles more than 6.8. The rise of
    // places 2 and 3 is AH/3 - 4.8, with AH = 0.98 H - 10.8.
    const ChartModel model = Model(7, [](int) { return QStringLiteral("[no information]"); });
    ViewState diagonal = View(2);
    ViewState right = View(2);
    right.diagonal = false;
    const auto shown = [&](const ViewState& view, double height, int p) {
        const ChartGeometry g = Arrange(model, view, QSizeF(1000, height));
        EXPECT_EQ(g.font_size, 8);
        if (!view.diagonal) {
            EXPECT_EQ(Line(g, p).visible, Line(g, p + kMaxPositions).visible);
        }
        return Line(g, p).visible;
    };
    EXPECT_TRUE(shown(diagonal, 80, 2));  // rise 17.7
    EXPECT_TRUE(shown(diagonal, 80, 3));
    EXPECT_FALSE(shown(diagonal, 80, 4));  // rise 6.5
    EXPECT_FALSE(shown(diagonal, 60, 2));  // rise 11.2
    EXPECT_FALSE(shown(diagonal, 60, 3));
    EXPECT_TRUE(shown(right, 60, 2));
    EXPECT_TRUE(shown(right, 60, 3));
    EXPECT_TRUE(shown(right, 50, 3));   // rise 7.9
    EXPECT_FALSE(shown(right, 45, 2));  // rise 6.3
    EXPECT_FALSE(shown(right, 45, 3));

    const ChartGeometry g = Arrange(model, right, QSizeF(1000, 60));
    const QLineF horizontal = Line(g, 2).line;
    const QLineF vertical = Line(g, 2 + kMaxPositions).line;
    EXPECT_EQ(horizontal.y1(), horizontal.y2());
    EXPECT_EQ(vertical.p1(), horizontal.p2());
    EXPECT_EQ(vertical.x1(), vertical.x2());
    EXPECT_NEAR(vertical.y2(), Name(g, 1).rect.top(), kEps);

    ViewState no_lines = View(2);
    no_lines.show_lines = false;
    const ChartGeometry bare = Arrange(model, no_lines, QSizeF(1000, 800));
    for (const ChartSegment& segment : bare.lines) {
        EXPECT_FALSE(segment.visible);
    }
}

TEST_F(ChartLayoutTest, InformationLinesForAllButTheOuterGeneration) {
    ChartModel model;
    for (int p = 1; p <= 7; ++p) {
        model.SetEntry(
            p, {p, p == 1, QStringLiteral("Dog %1").arg(p), {}, QStringLiteral("Call %1").arg(p)});
    }
    ViewState view = View(2);
    view.additional_info = kAddlCallName;
    view.champ.underline = true;
    view.champ.bold = true;
    view.champ.use_colour = true;
    ChartGeometry g = Arrange(model, view, QSizeF(1000, 800));
    for (int p = 1; p <= 3; ++p) {
        const ChartLabel& info = g.infos[static_cast<std::size_t>(p)];
        ASSERT_TRUE(info.visible) << p;
        EXPECT_EQ(info.caption, QStringLiteral("Call %1").arg(p));
        EXPECT_EQ(info.rect.topLeft(), Name(g, p).rect.bottomLeft());
        EXPECT_EQ(info.font.point_size, 18);
        EXPECT_FALSE(info.font.underline);
        EXPECT_EQ(info.font.bold, Name(g, p).font.bold);
        EXPECT_EQ(info.colour, Name(g, p).colour);
    }
    EXPECT_EQ(g.infos[1].colour, 255);
    EXPECT_TRUE(Name(g, 1).font.underline);
    for (int p = 4; p <= 7; ++p) {
        EXPECT_FALSE(g.infos[static_cast<std::size_t>(p)].visible) << p;
    }

    view.additional_info = kAddlNone;
    g = Arrange(model, view, QSizeF(1000, 800));
    EXPECT_FALSE(g.infos[1].visible);
}

TEST_F(ChartLayoutTest, NameStylesAndLineStyle) {
    ChartModel model = Model(7, [](int) { return QStringLiteral("Rex"); });
    ChartEntry champion = model.At(2);
    champion.champion = true;
    champion.display_name = QStringLiteral("Ch Rex Müller");
    model.SetEntry(2, champion);
    settings_.ChampFontName = QStringLiteral("  Courier New      ");
    settings_.NotChColour = 0x00FF00;
    settings_.LineColour = 0x123456;
    ViewState view = View(2);
    view.champ = {true, true, true, false, true};
    view.not_champ = {false, false, false, false, false};
    view.line_use_colour = true;
    view.line_thickness = 3;
    view.american = false;

    const ChartGeometry g = Arrange(model, view, QSizeF(1000, 800));
    EXPECT_EQ(Name(g, 2).caption, QStringLiteral("CH REX MÜLLER"));
    EXPECT_EQ(Name(g, 2).font, (ChartFont{QStringLiteral("Courier New"), 24, true, true, false}));
    EXPECT_EQ(Name(g, 2).colour, settings_.ChampColour);
    EXPECT_EQ(Name(g, 3).caption, QStringLiteral("Rex"));
    EXPECT_EQ(Name(g, 3).colour, 0);  // its colour switch is off
    EXPECT_EQ(g.line_colour, 0x123456);
    EXPECT_EQ(g.line_width, 5);
    EXPECT_FALSE(g.american_flag);
}

TEST_F(ChartLayoutTest, NoGenerationCheckedShowsTheRootAlone) {
    const ChartModel model = Model(7, [](int) { return QStringLiteral("Rex"); });
    ViewState view = View(2);
    view.num_gens.reset();
    const ChartGeometry g = Arrange(model, view, QSizeF(1000, 800));
    EXPECT_TRUE(Name(g, 1).visible);
    EXPECT_FALSE(Name(g, 2).visible);
    EXPECT_NEAR(Name(g, 1).rect.center().y(), 400, kEps);
    EXPECT_TRUE(std::isfinite(Name(g, 1).rect.left()));
}

TEST(FontTextMeasurer, ScalesWithResolutionAndStyle) {
    const ChartFont font{QStringLiteral("Arial"), 12, false, false, false};
    const FontTextMeasurer screen(96);
    const FontTextMeasurer printer(192);
    const QSizeF small = screen.Size(QStringLiteral("Yy"), font);
    const QSizeF large = printer.Size(QStringLiteral("Yy"), font);
    // 12 points at 96 dpi is 16 pixels; a line is a little more.
    EXPECT_GT(small.height(), 14);
    EXPECT_LT(small.height(), 22);
    EXPECT_NEAR(large.height(), 2 * small.height(), 1.5);
    const QString name = QStringLiteral("Am/Can Ch Rex of Somewhere");
    EXPECT_LT(screen.Size(name, font).width(),
              screen.Size(name, {font.family, 12, true, false, false}).width());
}

}  // namespace
}  // namespace lineara
