#include "chart/RepeatedAncestors.h"

#include "app/SettingsFile.h"
#include "chart/ChartLayout.h"
#include "chart/FixedTextMeasurer.h"

#include <gtest/gtest.h>

#include <set>

namespace lineara {
namespace {

// A chart of `count` places whose dogs are given place by place (0 = empty).
ChartModel ModelOf(const std::vector<qint32>& dogs) {
    ChartModel model;
    for (std::size_t i = 0; i < dogs.size(); ++i) {
        ChartEntry entry;
        entry.dog = dogs[i];
        entry.display_name = dogs[i] == 0 ? ChartModel::kNoInformation : QStringLiteral("Dog %1").arg(dogs[i]);
        model.SetEntry(static_cast<int>(i) + 1, entry);
    }
    return model;
}

TEST(RepeatedAncestorsTest, ADogOnBothSidesAndADogThreeTimesOnOneSide) {
    // Three generations (15 places). Dog 50 stands at 4 (sire's sire) and 6 (dam's sire):
    // once on either side. Dog 70 stands at 9, 10 and 11, all on the sire's side. Dog 80 is
    // at places beyond the chart shown and must not count. Places 13 and 15 are empty, and
    // empty places are never "the same dog".
    std::vector<qint32> dogs(kMaxPositions, 0);
    for (int p = 1; p <= 15; ++p) {
        dogs[static_cast<std::size_t>(p - 1)] = p == 13 || p == 15 ? 0 : 100 + p;
    }
    dogs[4 - 1] = 50;
    dogs[6 - 1] = 50;
    dogs[9 - 1] = 70;
    dogs[10 - 1] = 70;
    dogs[11 - 1] = 70;
    dogs[14 - 1] = 80;
    dogs[20 - 1] = 80;
    const ChartModel model = ModelOf(dogs);
    const RepeatedAncestors repeats = RepeatedAncestors::Find(model, 15);

    EXPECT_EQ(repeats.RepeatedDogs(), 2);
    const RepeatMark both = repeats.At(4);
    EXPECT_EQ(both, repeats.At(6));
    EXPECT_EQ(both.sire_side, 1);
    EXPECT_EQ(both.dam_side, 1);
    EXPECT_EQ(RepeatHint(both), QStringLiteral("Appears 2 times: 1 on the sire's side, 1 on the dam's side"));

    const RepeatMark three = repeats.At(9);
    EXPECT_EQ(three, repeats.At(10));
    EXPECT_EQ(three, repeats.At(11));
    EXPECT_EQ(three.sire_side, 3);
    EXPECT_EQ(three.dam_side, 0);
    EXPECT_EQ(RepeatHint(three), QStringLiteral("Appears 3 times: 3 on the sire's side, 0 on the dam's side"));

    // Each repeated dog its own colour, handed out in the order of first places.
    EXPECT_EQ(both.colour_index, 0);
    EXPECT_EQ(three.colour_index, 1);
    EXPECT_NE(RepeatColour(both.colour_index), RepeatColour(three.colour_index));
    // Neither the places of other dogs nor those off the chart at either end are marked.
    for (const int p : {0, 1, 2, 3, 5, 7, 8, 12, 13, 14, 15, kMaxPositions + 1}) {
        EXPECT_FALSE(repeats.At(p).Repeated()) << p;
        EXPECT_EQ(RepeatHint(repeats.At(p)), QString()) << p;
    }
    // Shown with one more generation, dog 80 appears twice (14 and 20) and gets the next colour.
    EXPECT_EQ(RepeatedAncestors::Find(model, 31).At(20).colour_index, 2);
}

TEST(RepeatedAncestorsTest, ARootThatIsItsOwnAncestorIsMarkedToo) {
    std::vector<qint32> dogs{7, 2, 3, 7, 5, 6, 8};
    const RepeatedAncestors repeats = RepeatedAncestors::Find(ModelOf(dogs), 7);
    EXPECT_TRUE(repeats.At(1).Repeated());
    EXPECT_EQ(repeats.At(1), repeats.At(4));
    EXPECT_EQ(RepeatHint(repeats.At(4)),
              QStringLiteral("Appears 2 times: 1 on the sire's side, 0 on the dam's side, and as the dog itself"));
}

TEST(RepeatedAncestorsTest, ThePaletteIsLightAndDistinctAndWrapsAround) {
    std::set<qint32> seen;
    for (const qint32 bgr : RepeatPalette()) {
        seen.insert(bgr);
        const int r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
        // Light enough that black text on it keeps a strong contrast, on screen and in print.
        EXPECT_GT(0.299 * r + 0.587 * g + 0.114 * b, 170) << std::hex << bgr;
        EXPECT_FALSE(r == 255 && g == 255 && b == 255);
    }
    EXPECT_EQ(seen.size(), RepeatPalette().size());
    EXPECT_EQ(RepeatColour(static_cast<int>(RepeatPalette().size())), RepeatColour(0));

    // Six generations of one dog everywhere but the root: more dogs than colours never
    // crashes, and every place of one dog shares the colour.
    std::vector<qint32> many(kMaxPositions, 0);
    for (int p = 1; p <= kMaxPositions; ++p) {
        many[static_cast<std::size_t>(p - 1)] = p < 64 ? p : 1000 + p % 20;
    }
    const RepeatedAncestors repeats = RepeatedAncestors::Find(ModelOf(many), kMaxPositions);
    EXPECT_EQ(repeats.RepeatedDogs(), 20);  // more than the palette holds
    EXPECT_EQ(repeats.At(64).colour_index, repeats.At(84).colour_index);
}

TEST(RepeatedAncestorsTest, TheLayoutPutsAMarkBehindEveryPlaceOfARepeatedDogOnlyWhenSwitchedOn) {
    std::vector<qint32> dogs{1, 2, 3, 4, 5, 4, 7};
    const ChartModel model = ModelOf(dogs);
    const SettingsRecord settings = RestoreDefaultSettings();
    ViewState view;
    view.num_gens = 2;
    view.show_lines = true;
    view.line_thickness = 1;
    const test::FixedTextMeasurer measure;

    const ChartGeometry plain = ArrangeChart(model, view, settings, {800, 600}, measure, {30, 20});
    for (const ChartMark& mark : plain.marks) {
        EXPECT_FALSE(mark.visible);
    }
    view.highlight_repeats = true;
    const ChartGeometry marked = ArrangeChart(model, view, settings, {800, 600}, measure, {30, 20});
    for (int p = 1; p <= 7; ++p) {
        const ChartMark& mark = marked.marks[static_cast<std::size_t>(p)];
        EXPECT_EQ(mark.visible, p == 4 || p == 6) << p;
        // Nothing else of the chart moves.
        EXPECT_EQ(marked.names[static_cast<std::size_t>(p)].rect, plain.names[static_cast<std::size_t>(p)].rect);
    }
    const ChartMark& mark = marked.marks[4];
    EXPECT_EQ(mark.colour, RepeatColour(0));
    EXPECT_EQ(mark.colour, marked.marks[6].colour);
    EXPECT_TRUE(mark.rect.contains(marked.names[4].rect));
    EXPECT_EQ(mark.rect, RepeatMarkRect(marked.names[4].rect));
    EXPECT_EQ(mark.hint, QStringLiteral("Appears 2 times: 1 on the sire's side, 1 on the dam's side"));
}

}  // namespace
}  // namespace lineara
