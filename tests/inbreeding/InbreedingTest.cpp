#include "inbreeding/Inbreeding.h"

#include "support/MemoryPedigree.h"
#include "support/RandomHerd.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>

namespace lineara {
namespace {

using Kennel = test::MemoryPedigree;

void ExpectSameAnalysis(const InbreedingAnalysis& fast, const InbreedingAnalysis& literal,
                        const std::string& what) {
    ASSERT_EQ(std::bit_cast<quint64>(fast.coefficient), std::bit_cast<quint64>(literal.coefficient))
        << what << ": " << fast.coefficient << " vs " << literal.coefficient;
    ASSERT_EQ(fast.entries_filled, literal.entries_filled) << what;
    ASSERT_EQ(fast.deepest_generation, literal.deepest_generation) << what;
    ASSERT_EQ(fast.complete_generations, literal.complete_generations) << what;
    ASSERT_EQ(fast.ancestors.size(), literal.ancestors.size()) << what;
    for (std::size_t i = 0; i < fast.ancestors.size(); ++i) {
        const AncestorEntry& a = fast.ancestors[i];
        const AncestorEntry& b = literal.ancestors[i];
        ASSERT_EQ(a.dog_id, b.dog_id) << what << " row " << i;
        ASSERT_EQ(std::bit_cast<quint64>(a.contribution), std::bit_cast<quint64>(b.contribution))
            << what << " row " << i;
        ASSERT_EQ(std::bit_cast<quint64>(a.percent_of_blood),
                  std::bit_cast<quint64>(b.percent_of_blood))
            << what;
        ASSERT_EQ(a, b) << what << " row " << i;
    }
}

double Both(const Kennel& kennel, qint32 dog, int generations) {
    const InbreedingAnalysis fast = ComputeInbreeding(dog, generations, kennel.Lookup());
    const InbreedingAnalysis literal =
        ComputeInbreedingLiterally(dog, generations, kennel.Lookup());
    ExpectSameAnalysis(fast, literal, "dog " + std::to_string(dog));
    return fast.coefficient;
}

TEST(InbreedingEngine, PublishedCoefficients) {
    Kennel k;
    // Full siblings 3 and 4 (of 1 and 2) mated: 25 %, each grandparent 12.5 %.
    k.Add(1);
    k.Add(2);
    k.Add(3, 1, 2);
    k.Add(4, 1, 2);
    k.Add(5, 3, 4);
    EXPECT_EQ(Both(k, 5, 10), 0.25);
    const InbreedingAnalysis full_sibs = ComputeInbreeding(5, 10, k.Lookup());
    ASSERT_EQ(full_sibs.ancestors.size(), 4u);
    EXPECT_EQ(full_sibs.ancestors[1].dog_id, 1);
    EXPECT_EQ(full_sibs.ancestors[1].contribution, 0.125);
    EXPECT_EQ(full_sibs.ancestors[2].contribution, 0.125);
    EXPECT_EQ(full_sibs.ancestors[1].sire_side_count, 1);
    EXPECT_EQ(full_sibs.ancestors[1].dam_side_count, 1);
    EXPECT_EQ(full_sibs.ancestors[1].percent_of_blood, 0.5);

    // Half siblings (common sire 1, dams 6 and 7): 12.5 %.
    k.Add(6);
    k.Add(7);
    k.Add(8, 1, 6);
    k.Add(9, 1, 7);
    k.Add(10, 8, 9);
    EXPECT_EQ(Both(k, 10, 10), 0.125);

    // Parent x offspring: 25 %; the sire also stands at generation 2 on the dam's side.
    k.Add(11, 1, 8);
    EXPECT_EQ(Both(k, 11, 10), 0.25);
    const InbreedingAnalysis parent = ComputeInbreeding(11, 10, k.Lookup());
    EXPECT_EQ(parent.ancestors[0].dog_id, 1);
    EXPECT_EQ(parent.ancestors[0].sire_side_earliest, 1);
    EXPECT_EQ(parent.ancestors[0].dam_side_earliest, 2);

    // First cousins: 6.25 %.
    k.Add(12);
    k.Add(13);
    k.Add(14, 3, 12);  // child of 3 (son of 1 and 2)
    k.Add(15, 13, 4);  // child of 4 (daughter of 1 and 2)
    k.Add(16, 14, 15);
    EXPECT_EQ(Both(k, 16, 10), 0.0625);

    // Generations of full-sibling matings: 25 %, 37.5 %, 50 %, then 59.375 %.
    k.Add(20, 3, 4);
    k.Add(21, 5, 20);
    k.Add(22, 5, 20);
    k.Add(23, 21, 22);
    k.Add(24, 21, 22);
    k.Add(25, 23, 24);
    EXPECT_EQ(Both(k, 21, 10), 0.375);
    EXPECT_EQ(Both(k, 23, 10), 0.5);
    EXPECT_EQ(Both(k, 25, 10), 0.59375);

    // Wright: half siblings through an inbred common sire (F = 25 %): 12.5 % x 1.25.
    k.Add(30, 5, 6);
    k.Add(31, 5, 7);
    k.Add(32, 30, 31);
    EXPECT_EQ(Both(k, 32, 10), 0.15625);
    // ... but when the sub-analysis runs out of depth the common sire counts as not inbred.
    EXPECT_EQ(Both(k, 32, 2), 0.125);

    // No parents; one-sided ancestors.
    const InbreedingAnalysis alone = ComputeInbreeding(1, 10, k.Lookup());
    EXPECT_EQ(alone.coefficient, 0);
    EXPECT_EQ(alone.entries_filled, 1);
    EXPECT_EQ(alone.complete_generations, 0);
    EXPECT_TRUE(alone.ancestors.empty());
    EXPECT_EQ(Both(k, 14, 10), 0);
}

TEST(InbreedingEngine, MissingDanglingAndLoopingParents) {
    Kennel k;
    k.Add(1, 0, 99);  // dam names no record
    k.Add(2, 1, 0);
    k.Add(3, 1, 2);
    EXPECT_EQ(Both(k, 3, 6), 0.25);
    const InbreedingAnalysis a = ComputeInbreeding(3, 6, k.Lookup());
    EXPECT_EQ(a.complete_generations, 1);
    EXPECT_EQ(a.deepest_generation, 2);
    EXPECT_EQ(a.entries_filled, 4);

    // The same dog as sire and dam, and a dog that is its own grandsire: the walk's own
    // figures, however odd.
    k.Add(10);
    k.Add(11, 10, 10);
    k.Add(12, 11, 3);
    Both(k, 11, 7);
    Both(k, 12, 7);
    k.Add(20, 22, 3);
    k.Add(21, 20, 1);
    k.Add(22, 21, 2);
    Both(k, 22, 8);
    Both(k, 21, 5);
}

TEST(InbreedingEngine, AgreesWithTheLiteralWalkOnRandomPedigrees) {
    std::mt19937 random(20261207);
    int inbred = 0;
    int deep_contributions = 0;
    for (int round = 0; round < 400; ++round) {
        const bool odd = round % 4 == 3;
        const Kennel k = test::RandomHerd(random, odd);
        const qint32 last = k.dogs.rbegin()->first;
        for (qint32 dog = last; dog > last - 3 && dog > 0; --dog) {
            const int generations = std::uniform_int_distribution<int>(5, 10)(random);
            const InbreedingAnalysis fast = ComputeInbreeding(dog, generations, k.Lookup());
            const InbreedingAnalysis literal =
                ComputeInbreedingLiterally(dog, generations, k.Lookup());
            ExpectSameAnalysis(fast, literal,
                               "round " + std::to_string(round) + " dog " + std::to_string(dog));
            const InbreedingAnalysis shared =
                ComputeInbreeding(dog, generations, k.Lookup(), nullptr, SecondThread::kAlways);
            ExpectSameAnalysis(
                shared, literal,
                "two threads, round " + std::to_string(round) + " dog " + std::to_string(dog));
            inbred += fast.coefficient > 0 ? 1 : 0;
            for (const AncestorEntry& e : fast.ancestors) {
                deep_contributions += (e.contribution > 0 && e.earliest_position >= 8) ? 1 : 0;
            }
            const std::vector<AncestorEntry> all =
                OrderForReport(fast.ancestors, fast.ancestors.size());
            const std::vector<AncestorEntry> leading = OrderForReport(fast.ancestors, 40);
            ASSERT_EQ(leading,
                      std::vector<AncestorEntry>(
                          all.begin(), all.begin() + static_cast<std::ptrdiff_t>(leading.size())));
        }
    }
    // The generated pedigrees really are inbred, often through distant ancestors.
    EXPECT_GT(inbred, 600);
    EXPECT_GT(deep_contributions, 1000);
}

// Deep line-bred herds, where the analysed dog's sweep runs long and its sub-analyses follow
// it closely on the other thread: the figures are those of one thread, to the last bit.
TEST(InbreedingEngine, TwoThreadsGiveTheSameFiguresAsOne) {
    std::mt19937 random(7122026);
    for (int round = 0; round < 6; ++round) {
        Kennel k;
        std::vector<std::vector<qint32>> by_generation(1);
        qint32 next = 1;
        for (int i = 0; i < 12; ++i) {
            by_generation[0].push_back(k.Add(next++));
        }
        const int per_generation = 24 + 8 * round;
        for (int g = 1; g < 28; ++g) {
            by_generation.emplace_back();
            for (int i = 0; i < per_generation; ++i) {
                auto pick = [&]() -> qint32 {
                    if (std::bernoulli_distribution(0.03)(random)) {
                        return 0;
                    }
                    const int back = std::uniform_int_distribution<int>(1, std::min(g, 3))(random);
                    const auto& pool = by_generation[static_cast<std::size_t>(g - back)];
                    // Popular sires: the first few of a generation breed most.
                    const std::size_t bound = std::bernoulli_distribution(0.5)(random)
                                                  ? std::min<std::size_t>(4, pool.size())
                                                  : pool.size();
                    return pool[std::uniform_int_distribution<std::size_t>(0, bound - 1)(random)];
                };
                by_generation.back().push_back(k.Add(next++, pick(), pick()));
            }
        }
        for (qint32 dog = next - 1; dog > next - 5; --dog) {
            const int generations = 12 + round;
            const InbreedingAnalysis one = ComputeInbreeding(dog, generations, k.Lookup());
            const InbreedingAnalysis two =
                ComputeInbreeding(dog, generations, k.Lookup(), nullptr, SecondThread::kAlways);
            ASSERT_GT(one.ancestors.size(), 50u);
            ExpectSameAnalysis(two, one,
                               "round " + std::to_string(round) + " dog " + std::to_string(dog));
        }
    }
}

}  // namespace
}  // namespace lineara
