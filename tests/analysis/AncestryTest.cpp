#include "analysis/Ancestry.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace lineara {
namespace {

// A pedigree held in memory: DogID -> parents.
struct Pedigree {
    std::map<qint32, Parents> dogs;
    ParentLookup Lookup() const {
        return [this](qint32 dog) -> std::optional<Parents> {
            const auto it = dogs.find(dog);
            return it == dogs.end() ? std::nullopt : std::optional<Parents>(it->second);
        };
    }
};

// Both the literal walk and the level count, which must agree on the figures (and on the
// line when the limit is reached).
AncestryFigures Both(const Pedigree& pedigree, qint32 root) {
    const AncestryFigures literal = WalkAncestryLiterally(root, pedigree.Lookup());
    const AncestryFigures fast = CountAncestry(root, pedigree.Lookup());
    EXPECT_EQ(fast.limit_reached, literal.limit_reached);
    if (literal.limit_reached) {
        EXPECT_EQ(fast.line, literal.line);
    } else {
        EXPECT_EQ(ToDecimal(fast.entries), ToDecimal(literal.entries));
        EXPECT_EQ(ToDecimal(fast.unique), ToDecimal(literal.unique));
        EXPECT_EQ(fast.deepest_generation, literal.deepest_generation);
        EXPECT_EQ(fast.complete_generations, literal.complete_generations);
    }
    return fast;
}

TEST(AncestryTest, SmallPedigreesGiveTheExpectedFigures) {
    Pedigree p;
    p.dogs[1] = {0, 0};
    AncestryFigures f = Both(p, 1);
    EXPECT_EQ(InformationText(QStringLiteral("Rex"), f),
              QStringLiteral("The lineara of Rex contains 1 entries (1 unique) going as far back as 0 "
                             "generations.  It contains complete lineara information for 0 generations."));

    // 4 is the sire of both 2 and 3, which are the parents of 1: counted twice, unique once.
    p.dogs = {{1, {2, 3}}, {2, {4, 5}}, {3, {4, 6}}, {4, {0, 0}}, {5, {0, 0}}, {6, {0, 0}}};
    f = Both(p, 1);
    EXPECT_EQ(ToDecimal(f.entries), "7");
    EXPECT_EQ(ToDecimal(f.unique), "6");
    EXPECT_EQ(f.deepest_generation, 2);
    EXPECT_EQ(f.complete_generations, 2);
    const AncestryFigures again = CountAncestry(1, p.Lookup());
    EXPECT_EQ(ToDecimal(again.entries), "7");
    EXPECT_EQ(ToDecimal(again.unique), "6");

    // Sire known, dam not; and a dam naming no record counts as unknown too.
    for (qint32 dam : {0, 999}) {
        p.dogs = {{1, {2, dam}}, {2, {3, 0}}, {3, {0, 0}}};
        f = Both(p, 1);
        EXPECT_EQ(ToDecimal(f.entries), "3");
        EXPECT_EQ(f.deepest_generation, 2);
        EXPECT_EQ(f.complete_generations, 0);
    }
}

TEST(AncestryTest, CountsPastThirtyTwoAndSixtyFourBitsExactly) {
    // Forty generations, each of one sire and one dam who are the parents of both of the
    // generation below: every position is filled.
    Pedigree p;
    const int generations = 40;
    p.dogs[1] = {2, 3};
    for (int g = 1; g <= generations; ++g) {
        const qint32 sire = 2 * g, dam = 2 * g + 1;
        const Parents parents = g == generations ? Parents{} : Parents{2 * g + 2, 2 * g + 3};
        p.dogs[sire] = parents;
        p.dogs[dam] = parents;
    }
    const AncestryFigures f = CountAncestry(1, p.Lookup());
    EXPECT_EQ(ToDecimal(f.entries), "2199023255551");  // 2^41 - 1
    EXPECT_EQ(ToDecimal(f.unique), "81");
    EXPECT_EQ(f.deepest_generation, 40);
    EXPECT_EQ(f.complete_generations, 40);
    EXPECT_EQ(ToDecimal(~AncestryCount{0}), "340282366920938463463374607431768211455");
}

TEST(AncestryTest, ADogAsTheSireOfItsOwnSireShowsTheRepeatingLine) {
    Pedigree p;
    p.dogs = {{1, {2, 0}}, {2, {1, 0}}};  // X's sire Y, Y's sire X
    const AncestryFigures f = Both(p, 1);
    ASSERT_TRUE(f.limit_reached);
    ASSERT_EQ(f.line.size(), 101u);
    const auto repeat = FindRepeat(f.line);
    ASSERT_TRUE(repeat);
    const auto name = [](qint32 id) { return id == 1 ? QStringLiteral("X") : QStringLiteral("Y"); };
    EXPECT_EQ(RecursiveLineText(f.line, *repeat, name),
              QStringLiteral("There is a recursion problem with the lineara of X.  This dog appears as it's own "
                             "ancestor along this line:\r\rX <- Y <- X\r\r(X should probably not be a parent of "
                             "Y - Show this lineara?)"));
    EXPECT_EQ(LoopEntryDog(f.line, *repeat), 2);

    // A plain line of 101 distinct dogs reaches the limit with nothing repeating.
    p.dogs.clear();
    for (qint32 d = 1; d <= 101; ++d) {
        p.dogs[d] = {0, d == 101 ? 0 : d + 1};
    }
    const AncestryFigures straight = Both(p, 1);
    EXPECT_TRUE(straight.limit_reached);
    EXPECT_FALSE(FindRepeat(straight.line));
}

TEST(AncestryTest, LevelCountAgreesWithTheLiteralWalkOnRandomPedigrees) {
    std::mt19937 random(20261207);
    int loops = 0;
    for (int trial = 0; trial < 400; ++trial) {
        Pedigree p;
        const int dogs = 5 + static_cast<int>(random() % 22);
        // Parents come from the few dogs just before, so lines stay short enough for the
        // literal walk; some are unknown, some name no record, and some trials add loops.
        const auto parent = [&](qint32 child) -> qint32 {
            const unsigned roll = random() % 10;
            if (roll == 0 || child <= 1) return 0;
            if (roll == 1) return 1000 + static_cast<qint32>(random() % 5);  // dangling
            const qint32 back = 1 + static_cast<qint32>(random() % std::min<qint32>(child - 1, 6));
            return child - back;
        };
        for (qint32 d = 1; d <= dogs; ++d) {
            p.dogs[d] = {parent(d), parent(d)};
        }
        if (trial % 4 == 0) {
            const qint32 old = 1 + static_cast<qint32>(random() % static_cast<unsigned>(dogs));
            const qint32 young = old + static_cast<qint32>(random() % static_cast<unsigned>(dogs - old + 1));
            (random() % 2 ? p.dogs[old].sire : p.dogs[old].dam) = young;
        }
        SCOPED_TRACE(trial);
        loops += Both(p, static_cast<qint32>(dogs - static_cast<int>(random() % 3))).limit_reached;
    }
    // Both kinds of run are covered.
    EXPECT_GT(loops, 20);
    EXPECT_LT(loops, 200);
}

TEST(AncestryTest, SiblingsAndOffspringComeFromTheParentIndexes) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const qint32 sire = test::AddTestDog(store, QStringLiteral("Sire"));
    const qint32 dam = test::AddTestDog(store, QStringLiteral("Dam"), false);
    const qint32 root = test::AddTestDog(store, QStringLiteral("Root"), true, sire, dam);
    const qint32 full = test::AddTestDog(store, QStringLiteral("zeta full"), true, sire, dam);
    const qint32 full2 = test::AddTestDog(store, QStringLiteral("Alpha Full"), false, sire, dam);
    const qint32 half = test::AddTestDog(store, QStringLiteral("beta half"), true, sire, 0);
    const qint32 half2 = test::AddTestDog(store, QString(), false, 0, dam);
    // Bad data: the sire entered as a dam too.
    const qint32 odd = test::AddTestDog(store, QStringLiteral("Odd"), true, sire, sire);
    store.AddNew();
    store.SetValue(Field::RegName, QStringLiteral("Null parents"));
    store.Update();
    const qint32 stranger = test::AddTestDog(store, QStringLiteral("Stranger"), true, 4242, 0);  // dangling sire
    DogDatabase& db = store.Database();

    const SiblingLists s = FindSiblings(db, root, sire, dam);
    ASSERT_EQ(s.full.size(), 2u);
    EXPECT_EQ(s.full[0].dog_id, full2);
    EXPECT_EQ(s.full[1].dog_id, full);
    ASSERT_EQ(s.half.size(), 3u);
    EXPECT_EQ(s.half[0].dog_id, half2);  // the empty name sorts first
    EXPECT_EQ(s.half[1].dog_id, half);
    EXPECT_EQ(s.half[2].dog_id, odd);

    const auto offspring = FindOffspring(db, sire);
    ASSERT_EQ(offspring.size(), 5u);  // Odd once, though it names the sire twice
    EXPECT_EQ(offspring[0].reg_name, "Alpha Full");
    EXPECT_EQ(offspring[4].reg_name, "zeta full");
    EXPECT_TRUE(FindOffspring(db, root).empty());

    // Through the database, a parent naming no record is unknown.
    const AncestryFigures f = CountAncestry(db, root);
    EXPECT_EQ(ToDecimal(f.entries), "3");
    EXPECT_EQ(f.complete_generations, 1);
    // The stranger's dangling sire, counted inside one read of the file as without it.
    EXPECT_EQ(ToDecimal(CountAncestry(db, stranger).entries),
              ToDecimal(CountAncestry(stranger, DatabaseParents(db)).entries));
    EXPECT_EQ(RegNameOf(db, root), "Root");
    EXPECT_EQ(RegNameOf(db, half2), "");
}

}  // namespace
}  // namespace lineara
