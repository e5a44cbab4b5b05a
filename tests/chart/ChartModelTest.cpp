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

    static ViewState View(int gens, int additional_info = kAddlNone) {
        ViewState view;
        view.num_gens = gens;
        view.additional_info = additional_info;
        view.american = true;
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

// Only an empty place whose child holds a dog offers to take one.
TEST_F(ChartModelTest, EmptyPlacesWithAChildOfferToTakeADog) {
    const qint32 sire =
        AddTestDog(store_, QStringLiteral("Sire"), true, 0, 0, {{Field::AmCh, true}});
    const qint32 pup = AddTestDog(store_, QStringLiteral("Pup"), true, sire, 0);
    const ChartModel model = Fill(pup, View(3));

    EXPECT_EQ(model.At(1).hint, ChartModel::kOccupiedHint);
    EXPECT_EQ(model.DogAt(2), sire);
    EXPECT_EQ(model.At(2).display_name, QStringLiteral("Ch Sire"));
    EXPECT_TRUE(model.At(2).champion);
    for (int p : {3, 4, 5}) {
        EXPECT_EQ(model.DogAt(p), 0);
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
        EXPECT_EQ(model.At(p).hint, QStringLiteral("Click to put a dog here"));
        EXPECT_FALSE(model.At(p).champion);
    }
    for (int p : {6, 7, 12, 13, 14, 15}) {
        EXPECT_EQ(model.DogAt(p), 0);
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
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

TEST_F(ChartModelTest, MissingRootFallsBackToTheFirstDogOrToAnEmptyChart) {
    qint32 root = 5;
    ChartModel model;
    model.FillChart(store_, root, View(2));
    EXPECT_EQ(root, 0);
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(model.At(p).display_name, QStringLiteral("[no information]"));
        EXPECT_EQ(model.At(p).hint, QString());
    }

    const qint32 first = AddTestDog(store_, QStringLiteral("First"));
    AddTestDog(store_, QStringLiteral("Second"));
    root = 9999;
    model.FillChart(store_, root, View(2));
    EXPECT_EQ(root, first);
    EXPECT_EQ(model.At(1).display_name, QStringLiteral("First"));
}

TEST_F(ChartModelTest, DogThatIsItsOwnAncestorStopsAtTheChartsEdge) {
    const qint32 odd = AddTestDog(store_, QStringLiteral("Odd"));
    SetParents(odd, odd, odd);
    const ChartModel model = Fill(odd, View(6));
    for (int p = 1; p <= kMaxPositions; ++p) {
        EXPECT_EQ(model.DogAt(p), odd) << p;
    }
}

// The same dog may stand in several places; a parent that no longer exists is no parent.
TEST_F(ChartModelTest, LineBreedingAndParentsThatNoLongerExist) {
    const qint32 grand = AddTestDog(store_, QStringLiteral("Grand"));
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"), true, grand, 4242);
    const qint32 dam = AddTestDog(store_, QStringLiteral("Dam"), false, grand, 0);
    const ChartModel model =
        Fill(AddTestDog(store_, QStringLiteral("Pup"), true, sire, dam), View(2));
    EXPECT_EQ(model.DogAt(4), grand);
    EXPECT_EQ(model.DogAt(6), grand);
    EXPECT_EQ(model.At(6).display_name, QStringLiteral("Grand"));
    EXPECT_EQ(model.DogAt(5), 0);
    EXPECT_EQ(model.At(5).display_name, QStringLiteral("[no information]"));
    EXPECT_EQ(model.At(5).hint, ChartModel::kEmptyHint);
}

TEST_F(ChartModelTest, InformationLinesShowTheChosenField) {
    const qint32 dog = AddTestDog(store_, QStringLiteral("Rex"), true, 0, 0,
                                  {{Field::CanCh, true},
                                   {Field::CallName, QStringLiteral("Rexy")},
                                   {Field::DOB, QDate(2003, 7, 4)},
                                   {Field::IC, 0.125}});
    EXPECT_EQ(Fill(dog, View(2, kAddlNone)).At(1).info, QString());
    EXPECT_EQ(Fill(dog, View(2, kAddlCallName)).At(1).info, QStringLiteral("Rexy"));
    EXPECT_EQ(Fill(dog, View(2, kAddlDescription)).At(1).info, QString());
    EXPECT_EQ(Fill(dog, View(2, kAddlDOB), QLocale(QLocale::German, QLocale::Germany)).At(1).info,
              QStringLiteral("04.07.2003"));
    EXPECT_EQ(Fill(dog, View(2, kAddlIC)).At(1).info, QStringLiteral("IC = 12.50%"));
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

}  // namespace
}  // namespace lineara
