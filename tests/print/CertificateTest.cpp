#include "print/Certificate.h"

#include "chart/RepeatedAncestors.h"

#include "../chart/FixedTextMeasurer.h"
#include "app/SettingsFile.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

// Fixed metrics in points: a 12-point character is 0.1 inch wide, its line 0.2 inch high.
constexpr double kPointsPerInch = 72.0;

struct Fixture {
    test::FixedTextMeasurer fixed;
    InchMeasurer measure{fixed, kPointsPerInch};
    SettingsRecord settings = RestoreDefaultSettings();
    ViewState view = ViewStateFromSettings(settings);
    ChartModel model;

    Fixture() {
        for (PrintTextItem& item : settings.PrintItem) {
            item.Show = 0;
        }
        view.num_gens = 2;
    }
    PrintTextItem& Only(int index, const QString& text, int h, int v) {
        PrintTextItem& item = settings.PrintItem[static_cast<std::size_t>(index)];
        item.Show = 1;
        item.Text = text;
        item.HorizPos = static_cast<qint16>(h);
        item.VertPos = static_cast<qint16>(v);
        item.FontSize = 12;
        return item;
    }
    CertificatePage Lay(QSizeF printable = {8, 10}) const {
        return LayOutCertificate(model, view, settings, printable, measure);
    }
};

// The texts of the five blocks come first on the page, before the chart's names.
std::vector<PageText> BlockTexts(const CertificatePage& page, int chart_places) {
    return {page.texts.begin(), page.texts.end() - chart_places};
}

TEST(Certificate, TextBlocksAnchorInThreeBands) {
    struct Case {
        int h;
        double left;
    };
    // "ABCDE" is 0.5 inch wide on an 8-inch page.
    for (const Case c :
         {Case{0, 0.0}, Case{33, 7.5 * 0.33}, Case{34, 8 * 0.34 - 0.25}, Case{66, 8 * 0.66 - 0.25},
          Case{67, 8 - 7.5 * 0.33 - 0.5}, Case{100, 7.5}}) {
        Fixture f;
        f.Only(kPrintTitle, QStringLiteral("ABCDE   "), c.h, 0);
        const std::vector<PageText> texts = BlockTexts(f.Lay(), 7);
        ASSERT_EQ(texts.size(), 1u) << c.h;
        EXPECT_EQ(texts[0].text, QStringLiteral("ABCDE"));
        EXPECT_NEAR(texts[0].rect.left(), c.left, 1e-9) << c.h;
        EXPECT_NEAR(texts[0].rect.top(), 0.0, 1e-9);
    }
    // The closing line break counts in the block's height: 2 lines of 0.2 inch.
    Fixture f;
    f.Only(kPrintTitle, QStringLiteral("ABCDE"), 50, 100);
    EXPECT_NEAR(BlockTexts(f.Lay(), 7)[0].rect.top(), 10 - 0.4, 1e-9);
}

TEST(Certificate, MultiLineBlocksAlignEachLineOrOnTheWidest) {
    struct Case {
        int h;
        double first, second;
    };
    for (const Case c : {Case{50, 4 - 0.1, 4 - 0.2}, Case{0, 0, 0}, Case{100, 7.8, 7.6}}) {
        Fixture f;
        f.Only(kPrintKennelAddress, QStringLiteral("AB\r\nABCD"), c.h, 0);
        const std::vector<PageText> texts = BlockTexts(f.Lay(), 7);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_NEAR(texts[0].rect.left(), c.first, 1e-9) << c.h;
        EXPECT_NEAR(texts[1].rect.left(), c.second, 1e-9) << c.h;
        EXPECT_NEAR(texts[1].rect.top(), 0.2, 1e-9);
    }
}

TEST(Certificate, HiddenEmptyAndDamagedBlocksStillPrintSafely) {
    Fixture f;
    f.Only(kPrintTitle, QStringLiteral("   "), 50, 0);
    f.Only(kPrintFootnote, QStringLiteral("Shown only when Show is exactly 1"), 50, 0).Show = -1;
    EXPECT_TRUE(BlockTexts(f.Lay(), 7).empty());

    // A size of 0 and a face nobody has, from a damaged file; text of 1024 characters.
    PrintTextItem& item = f.Only(kPrintKennelName, QString(1024, QLatin1Char('W')), 250, -40);
    item.FontSize = 0;
    item.FontName = QStringLiteral("No Such Face At All");
    const std::vector<PageText> texts = BlockTexts(f.Lay(), 7);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_GT(texts[0].font.point_size, 0);
    EXPECT_EQ(texts[0].text.size(), 1024);
}

TEST(Certificate, OffsetsMoveBordersAndTextsButNotTheChart) {
    Fixture f;
    f.settings.Border[0] = {2, 50, 50, 0x0000ff};
    f.settings.Border[1] = {0, 90, 90, 0};
    f.Only(kPrintTitle, QStringLiteral("ABCDE"), 0, 0);
    const CertificatePage plain = f.Lay();
    ASSERT_EQ(plain.borders.size(), 1u);  // thickness 0 is skipped
    EXPECT_EQ(plain.borders[0].rect, QRectF(2, 2.5, 4, 5));
    EXPECT_EQ(plain.borders[0].colour, 0x0000ff);

    f.settings.XOffset = 1;
    f.settings.YOffset = -0.5f;
    const CertificatePage moved = f.Lay();
    EXPECT_EQ(moved.borders[0].rect, QRectF(3, 2, 4, 5));
    EXPECT_NEAR(moved.texts[0].rect.left(), 1, 1e-9);
    EXPECT_NEAR(moved.texts[0].rect.top(), -0.5, 1e-9);
    EXPECT_EQ(moved.chart_area, plain.chart_area);
    EXPECT_EQ(moved.name_at, plain.name_at);

    // Scales act on everything, the chart included.
    f.settings.XOffset = 0;
    f.settings.YOffset = 0;
    f.settings.XScale = 0.5f;
    const CertificatePage half = f.Lay();
    EXPECT_EQ(half.page, QSizeF(4, 10));
    EXPECT_EQ(half.borders[0].rect, QRectF(1, 2.5, 2, 5));
    EXPECT_NEAR(half.chart_area.width(), plain.chart_area.width() / 2, 1e-9);
    EXPECT_NEAR(half.chart_area.left(), plain.chart_area.left() / 2, 1e-9);
}

TEST(Certificate, RowAndWidthFitsStayWithin36And6Points) {
    struct Case {
        int gens;
        qint16 height_percent, width_percent;
        double size;
    };
    // Row fit on a 10-inch page: (N + 1) lines of size/60 inch fit the area's height. Names of
    // "[no information]" (16 characters) must also fit half the width.
    for (const Case c : {Case{2, 20, 90, 15},    // 2 inches: 7.5 x 2
                         Case{2, 100, 100, 30},  // 36 by height, 30 by half of 8 inches
                         Case{6, 10, 90, 6},     // 128 lines in 1 inch: the floor of 6
                         Case{2, 100, 30, 9},    // half of 2.4 inches: 16 x 0.6 x s / 72 <= 1.2
                         Case{2, 100, 2, 6}}) {  // width fit down to 6
        Fixture f;
        f.view.num_gens = c.gens;
        f.settings.ChartHeight = c.height_percent;
        f.settings.ChartWidth = c.width_percent;
        for (int p = 1; p <= kMaxPositions; ++p) {
            f.model.SetEntry(p, {0, false, ChartModel::kNoInformation, {}, {}});
        }
        const CertificatePage page = f.Lay();
        EXPECT_EQ(page.name_size, c.size)
            << c.gens << " " << c.height_percent << " " << c.width_percent;
        EXPECT_EQ(page.half_line, page.name_size * 1.2 / 72 / 2);
        EXPECT_EQ(page.texts.size(), static_cast<std::size_t>(PositionCount(c.gens)));
    }
    // Short names on a tall area: never above 36.
    Fixture f;
    f.settings.ChartHeight = 100;
    EXPECT_EQ(f.Lay().name_size, 36);
}

TEST(Certificate, PlacesTakeTheirBands) {
    Fixture f;
    f.settings.ChartHeight = 70;
    const CertificatePage two = f.Lay();
    const double band = two.chart_area.height() / 7;
    const auto centre = [&](const CertificatePage& page, int p) {
        return page.name_at[std::size_t(p)].y() + page.half_line;
    };
    // Top to bottom: 4, 2, 5, 1, 6, 3, 7.
    const int order[] = {4, 2, 5, 1, 6, 3, 7};
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(centre(two, order[k]), two.chart_area.top() + band * (k + 0.5), 1e-9)
            << order[k];
    }
    EXPECT_NEAR(two.name_at[1].x(), two.chart_area.left(), 1e-12);
    EXPECT_NEAR(two.name_at[4].x(), two.chart_area.right() - two.widest_name, 1e-9);

    f.view.num_gens = 6;
    const CertificatePage six = f.Lay();
    const double band6 = six.chart_area.height() / 127;
    EXPECT_NEAR(centre(six, 64), six.chart_area.top() + band6 * 0.5, 1e-9);
    EXPECT_NEAR(centre(six, 1), six.chart_area.top() + band6 * 63.5, 1e-9);
    EXPECT_NEAR(centre(six, 127), six.chart_area.top() + band6 * 126.5, 1e-9);
}

TEST(Certificate, NearlyLevelLinesAreLeftOutByStyle) {
    // Two generations at 7 points on a chart area 1 inch high: the parents' lines rise 0.227
    // inch and the grandparents' 0.085 inch, each over a run of 6 inches. Diagonal lines need a
    // rise above 6/50 = 0.12, right-angle lines above 6/100 = 0.06.
    Fixture f;
    for (int p = 1; p <= 7; ++p) {
        f.model.SetEntry(p, {p, false, QStringLiteral("ABCDEFGHIJ"), {}, {}});
    }
    f.settings.ChartHeight = 10;
    f.settings.ChartWidth = 100;
    const double widest = 10 * 0.6 * 7 / 72;
    const QSizeF printable(16 + widest, 10);
    f.view.diagonal = true;
    const CertificatePage diagonal = f.Lay(printable);
    ASSERT_EQ(diagonal.name_size, 7);
    EXPECT_EQ(diagonal.lines.size(), 2u);
    f.view.diagonal = false;
    EXPECT_EQ(f.Lay(printable).lines.size(), 12u);
    f.view.show_lines = false;
    EXPECT_TRUE(f.Lay(printable).lines.empty());

    // The sire's diagonal meets the child's top edge a quarter of the way along.
    f.view.show_lines = true;
    f.view.diagonal = true;
    const QLineF sire = diagonal.lines[0].line;
    const double half = diagonal.half_line;
    EXPECT_NEAR(sire.x1(), diagonal.name_at[2].x() - half / 2, 1e-12);
    EXPECT_NEAR(sire.y1(), diagonal.name_at[2].y() + half, 1e-12);
    EXPECT_NEAR(sire.x2(),
                diagonal.name_at[1].x() +
                    (diagonal.name_at[2].x() - diagonal.name_at[1].x()) * 0.25 - half / 2,
                1e-12);
    EXPECT_NEAR(sire.y2(), diagonal.name_at[1].y(), 1e-12);
    EXPECT_NEAR(diagonal.lines[1].line.y2(), diagonal.name_at[1].y() + 2 * half, 1e-12);
}

TEST(Certificate, NamesAndInformationLinesKeepTheChartsStyles) {
    Fixture f;
    f.view.num_gens = 2;
    f.view.champ = {true, true, true, true, true};
    f.view.not_champ = {false, false, false, true, false};
    f.view.additional_info = kAddlCallName;
    for (int p = 1; p <= 7; ++p) {
        f.model.SetEntry(
            p, {p, p == 2, QStringLiteral("Dog %1").arg(p), {}, QStringLiteral("Call %1").arg(p)});
    }
    // A struck-through block printed before the chart leaves the names unstruck.
    f.Only(kPrintNotes, QStringLiteral("Notes"), 50, 50).FontStrikethru = -1;
    const CertificatePage page = f.Lay();
    ASSERT_EQ(page.texts.size(), 1u + 7u + 3u);
    EXPECT_TRUE(page.texts[0].strikeout);
    const PageText& champion = page.texts[2];
    EXPECT_EQ(champion.text, QStringLiteral("DOG 2"));
    EXPECT_TRUE(champion.font.bold && champion.font.italic && champion.font.underline);
    EXPECT_EQ(champion.colour, f.settings.ChampColour);
    for (std::size_t i = 1; i <= 7; ++i) {
        EXPECT_FALSE(page.texts[i].strikeout);
        EXPECT_FALSE(page.texts[i].opaque);
    }
    // Information lines for places 1..3 only, under their names, opaque, 0.75 size, no underline.
    for (int p = 1; p <= 3; ++p) {
        const PageText& info = page.texts[7 + static_cast<std::size_t>(p)];
        EXPECT_EQ(info.text, QStringLiteral("Call %1").arg(p));
        EXPECT_TRUE(info.opaque);
        EXPECT_FALSE(info.font.underline);
        EXPECT_FALSE(info.strikeout);
        EXPECT_EQ(info.font.point_size, page.name_size * 0.75);
        EXPECT_EQ(info.rect.topLeft(),
                  page.name_at[std::size_t(p)] + QPointF(0, 2 * page.half_line));
    }
    f.view.additional_info = kAddlNone;
    EXPECT_EQ(f.Lay().texts.size(), 8u);
}

TEST(Certificate, NotesComeFromTheRootDogTrimmed) {
    test::TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("notes.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const qint32 with =
        test::AddTestDog(store, QStringLiteral("With Notes"), true, 0, 0,
                         {{Field::PrintNotes, QStringLiteral("  Best in Show 2024  ")}});
    const qint32 without = test::AddTestDog(store, QStringLiteral("Without"));
    SettingsRecord settings = RestoreDefaultSettings();
    settings.RootDogID = with;
    TakePrintNotes(store, settings);
    EXPECT_EQ(settings.PrintItem[kPrintNotes].Text, QStringLiteral("Best in Show 2024"));
    settings.RootDogID = without;
    TakePrintNotes(store, settings);
    EXPECT_EQ(settings.PrintItem[kPrintNotes].Text, QString());
    EXPECT_TRUE(TextBlockLines(settings.PrintItem[kPrintNotes].Text).isEmpty());
}

TEST(Certificate, RepeatedDogsGetTheSameMarkOnThePageAsOnTheScreen) {
    Fixture f;
    const qint32 dogs[] = {1, 2, 3, 9, 5, 9, 7};
    for (int p = 1; p <= 7; ++p) {
        ChartEntry entry;
        entry.dog = dogs[p - 1];
        entry.display_name = QStringLiteral("Dog %1").arg(entry.dog);
        f.model.SetEntry(p, entry);
    }
    EXPECT_TRUE(f.Lay().marks.empty());
    f.view.highlight_repeats = true;
    const CertificatePage page = f.Lay();
    ASSERT_EQ(page.marks.size(), 2u);
    // The names are the last seven texts, place by place; the marks sit behind places 4 and 6.
    const std::vector<PageText> names(page.texts.end() - 7, page.texts.end());
    EXPECT_EQ(page.marks[0].rect, RepeatMarkRect(names[3].rect));
    EXPECT_EQ(page.marks[1].rect, RepeatMarkRect(names[5].rect));
    EXPECT_EQ(page.marks[0].colour, page.marks[1].colour);
    EXPECT_EQ(page.marks[0].colour, RepeatColour(0));
}

}  // namespace
}  // namespace lineara
