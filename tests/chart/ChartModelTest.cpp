#include "chart/ChartModel.h"

#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QDate>

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::AddTestDog;

class ChartModelTest : public ::testing::Test {
protected:
    ChartModelTest() {
        test::CreateDatabase(work_.File(QStringLiteral("dogs.mdb")));
        store_.Open(work_.File(QStringLiteral("dogs.mdb")));
    }

    static ViewState View(int gens, int additional_info = kAddlNone, bool american = true) {
        ViewState view;
        view.num_gens = gens;
        view.additional_info = additional_info;
        view.american = american;
        return view;
    }

    void SetParents(qint32 dog, qint32 sire, qint32 dam) {
        store_.FindFirst(Criterion::ById(dog));
        store_.Edit();
        store_.SetValue(Field::SireID, sire);
        store_.SetValue(Field::DamID, dam);
        store_.Update();
    }

    ChartModel Fill(qint32 root, const ViewState& view, const QLocale& locale = QLocale()) {
        ChartModel model;
        model.FillChart(store_, root, view, locale);
        EXPECT_EQ(root, model.DogAt(1));
        return model;
    }

    test::TempWorkDir work_;
    RecordStore store_;
};

TEST(ChartPositions, CountsAndGenerations) {
    EXPECT_EQ(PositionCount(0), 1);
    EXPECT_EQ(PositionCount(2), 7);
    EXPECT_EQ(PositionCount(6), kMaxPositions);
    EXPECT_EQ(GenerationOf(1), 0);
    EXPECT_EQ(GenerationOf(3), 1);
    EXPECT_EQ(GenerationOf(4), 2);
    EXPECT_EQ(GenerationOf(127), 6);
}

TEST_F(ChartModelTest, RootWithoutParentsOffersItsParentPlacesOnly) {
    const qint32 rex = AddTestDog(store_, QStringLiteral("Rex"), true, 0, 0, {{Field::AmCh, true}});
    const ChartModel model = Fill(rex, View(2));

    EXPECT_EQ(model.At(1).display_name, QStringLiteral("Ch Rex"));
    EXPECT_TRUE(model.At(1).champion);
    EXPECT_EQ(model.At(1).hint, ChartModel::kOccupiedHint);
    for (int p : {2, 3}) {
        EXPECT_EQ(model.DogAt(p), 0);
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
        EXPECT_EQ(model.At(p).hint, QStringLiteral("Click to put a dog here"));
        EXPECT_FALSE(model.At(p).champion);
    }
    for (int p = 4; p <= 7; ++p) {
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
        EXPECT_EQ(model.At(p).hint, QString()) << p;
    }
}

TEST_F(ChartModelTest, SireWithoutDam) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    const qint32 pup = AddTestDog(store_, QStringLiteral("Pup"), true, sire, 0);
    const ChartModel model = Fill(pup, View(3, kAddlNone, false));

    EXPECT_EQ(model.DogAt(2), sire);
    EXPECT_EQ(model.At(2).display_name, QStringLiteral("Sire"));
    EXPECT_EQ(model.At(3).hint, ChartModel::kEmptyHint);
    EXPECT_EQ(model.At(4).hint, ChartModel::kEmptyHint);
    EXPECT_EQ(model.At(5).hint, ChartModel::kEmptyHint);
    for (int p : {6, 7, 12, 13, 14, 15}) {
        EXPECT_EQ(model.DogAt(p), 0);
        EXPECT_EQ(model.At(p).hint, QString()) << p;
    }
    EXPECT_TRUE(model.Contains(sire));
    EXPECT_FALSE(model.Contains(0));
}

TEST_F(ChartModelTest, FewerGenerationsLeaveTheOuterPlacesAlone) {
    // A line of sires seven deep, so six generations fill every sire place.
    qint32 dog = 0;
    for (int i = 0; i < 7; ++i) {
        dog = AddTestDog(store_, QStringLiteral("Dog %1").arg(i), true, dog, 0);
    }
    qint32 root = dog;
    ChartModel model;
    model.FillChart(store_, root, View(6));
    const ChartEntry outer = model.At(64);
    ASSERT_NE(outer.dog, 0);

    // A new root with no ancestors, two generations: only places 1..7 change.
    const qint32 loner = AddTestDog(store_, QStringLiteral("Loner"));
    root = loner;
    model.FillChart(store_, root, View(2));
    EXPECT_EQ(model.DogAt(2), 0);
    EXPECT_EQ(model.At(4).display_name, QStringLiteral("[no information]"));
    EXPECT_EQ(model.At(64), outer);
    EXPECT_NE(model.DogAt(8), 0);
    EXPECT_TRUE(model.Contains(outer.dog));
}

TEST_F(ChartModelTest, MissingRootFallsBackToTheFirstDog) {
    const qint32 first = AddTestDog(store_, QStringLiteral("First"));
    AddTestDog(store_, QStringLiteral("Second"));
    qint32 root = 9999;
    ChartModel model;
    model.FillChart(store_, root, View(2));
    EXPECT_EQ(root, first);
    EXPECT_EQ(model.At(1).display_name, QStringLiteral("First"));
}

TEST_F(ChartModelTest, EmptyTableGivesAnEmptyChart) {
    qint32 root = 5;
    ChartModel model;
    model.FillChart(store_, root, View(2));
    EXPECT_EQ(root, 0);
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
        EXPECT_EQ(model.At(p).hint, QString());
    }
}

TEST_F(ChartModelTest, ParentThatNoLongerExistsCountsAsNone) {
    const qint32 pup = AddTestDog(store_, QStringLiteral("Pup"), true, 4242, 0);
    const ChartModel model = Fill(pup, View(2));
    EXPECT_EQ(model.DogAt(2), 0);
    EXPECT_EQ(model.At(2).display_name, QStringLiteral("[no information]"));
    EXPECT_EQ(model.At(2).hint, ChartModel::kEmptyHint);
    EXPECT_EQ(model.At(4).hint, QString());
}

TEST_F(ChartModelTest, DogThatIsItsOwnAncestorStopsAtTheChartsEdge) {
    const qint32 odd = AddTestDog(store_, QStringLiteral("Odd"));
    SetParents(odd, odd, odd);
    const ChartModel model = Fill(odd, View(6));
    for (int p = 1; p <= kMaxPositions; ++p) {
        EXPECT_EQ(model.DogAt(p), odd) << p;
    }
}

TEST_F(ChartModelTest, LineBreedingFillsEachPlace) {
    const qint32 grand = AddTestDog(store_, QStringLiteral("Grand"));
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"), true, grand, 0);
    const qint32 dam = AddTestDog(store_, QStringLiteral("Dam"), false, grand, 0);
    const ChartModel model =
        Fill(AddTestDog(store_, QStringLiteral("Pup"), true, sire, dam), View(2));
    EXPECT_EQ(model.DogAt(4), grand);
    EXPECT_EQ(model.DogAt(6), grand);
    EXPECT_EQ(model.At(6).display_name, QStringLiteral("Grand"));
}

TEST_F(ChartModelTest, TitleStyleAndInformationLines) {
    const qint32 dog = AddTestDog(store_, QStringLiteral("Rex"), true, 0, 0,
                                  {{Field::CanCh, true},
                                   {Field::CallName, QStringLiteral("Rexy")},
                                   {Field::DOB, QDate(2003, 7, 4)},
                                   {Field::IC, 0.125}});
    EXPECT_EQ(Fill(dog, View(2, kAddlNone, true)).At(1).display_name, QStringLiteral("Can Ch Rex"));
    EXPECT_EQ(Fill(dog, View(2, kAddlNone, false)).At(1).display_name, QStringLiteral("Ch Rex"));
    EXPECT_EQ(Fill(dog, View(2, kAddlNone)).At(1).info, QString());
    EXPECT_EQ(Fill(dog, View(2, kAddlCallName)).At(1).info, QStringLiteral("Rexy"));
    EXPECT_EQ(Fill(dog, View(2, kAddlDescription)).At(1).info, QString());
    EXPECT_EQ(
        Fill(dog, View(2, kAddlDOB), QLocale(QLocale::English, QLocale::UnitedStates)).At(1).info,
        QStringLiteral("7/4/2003"));
    EXPECT_EQ(Fill(dog, View(2, kAddlDOB), QLocale(QLocale::German, QLocale::Germany)).At(1).info,
              QStringLiteral("04.07.2003"));
    EXPECT_EQ(Fill(dog, View(2, kAddlIC)).At(1).info, QStringLiteral("IC = 12.50%"));
    EXPECT_EQ(Fill(dog, View(2, kAddlIC), QLocale(QLocale::German, QLocale::Germany)).At(1).info,
              QStringLiteral("IC = 12,50%"));
    // No information for an empty place, whatever is asked for.
    EXPECT_EQ(Fill(dog, View(2, kAddlCallName)).At(2).info, QString());

    const qint32 unknown = AddTestDog(store_, QStringLiteral("Unknown"));
    EXPECT_EQ(Fill(unknown, View(2, kAddlIC)).At(1).info, QString());
    EXPECT_EQ(Fill(unknown, View(2, kAddlDOB)).At(1).info, QString());
}

TEST(InbreedingText, RoundsTheDecimalValueHalfAwayFromZero) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "IC = 0.00%"},       {0.125, "IC = 12.50%"},     {0.03125, "IC = 3.13%"},
        {0.12345, "IC = 12.35%"},  {0.0312499, "IC = 3.12%"},  {0.00005, "IC = 0.01%"},
        {0.000049, "IC = 0.00%"},  {1.0, "IC = 100.00%"},      {0.999999, "IC = 100.00%"},
        {-0.03125, "IC = -3.13%"}, {0.1 + 0.2, "IC = 30.00%"}, {1e-20, "IC = 0.00%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InbreedingText(c.value, us), QString::fromLatin1(c.text)) << c.value;
    }
    EXPECT_EQ(InbreedingText(0.03125, QLocale(QLocale::French, QLocale::France)),
              QStringLiteral("IC = 3,13%"));
}

TEST(ShortDateText, AlwaysFourDigitYears) {
    const QDate date(1999, 12, 31);
    EXPECT_EQ(ShortDateText(date, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("12/31/1999"));
    EXPECT_EQ(ShortDateText(date, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              QStringLiteral("31/12/1999"));
    EXPECT_EQ(ShortDateText(QDate(2005, 1, 2), QLocale(QLocale::Japanese, QLocale::Japan)),
              QStringLiteral("2005/01/02"));
}

}  // namespace
}  // namespace lineara
