#include "sample/PedigreeGenerator.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace lineara {
namespace {

// Every benchmark runs on generated data, so the same options must give the same pedigree.
TEST(PedigreeGeneratorTest, TheSameOptionsGiveTheSamePedigree) {
    PedigreeOptions options;
    options.dogs = 3000;
    options.duplicate_share = 0.02;
    const Pedigree first = PedigreeGenerator::Generate(options);
    // The kennel text holds every field of every dog.
    EXPECT_EQ(first.ToKennelText(), PedigreeGenerator::Generate(options).ToKennelText());
    // A fixed point, so that a change to the generator that would alter every benchmark's
    // input is noticed.
    EXPECT_EQ(first.RegNameOf(1), QStringLiteral("Stonebrook Amber Arrow"));
    EXPECT_EQ(first.RegNameOf(2), QString::fromUtf8("\xC3\x85kerbacken Stormy Comet"));
    options.seed = 2;
    EXPECT_NE(first.ToKennelText(), PedigreeGenerator::Generate(options).ToKennelText());
}

// The clean-up's benchmarks need all three kinds of second entry, each naming a dog before it.
TEST(PedigreeGeneratorTest, SecondEntriesComeLastInThreeKinds) {
    PedigreeOptions options;
    options.dogs = 3000;
    options.duplicate_share = 0.1;
    const Pedigree pedigree = PedigreeGenerator::Generate(options);
    ASSERT_EQ(pedigree.Size(), 3000);
    QSet<QString> earlier;
    for (qint32 p = 1; p <= 2700; ++p) {
        EXPECT_EQ(pedigree.At(p).variant, Pedigree::Variant::Plain);
        earlier.insert(pedigree.RegNameOf(p));
    }
    int same = 0, capitals = 0, doubled = 0;
    for (qint32 p = 2701; p <= 3000; ++p) {
        const QString name = pedigree.RegNameOf(p);
        switch (pedigree.At(p).variant) {
            case Pedigree::Variant::Plain:
                EXPECT_TRUE(earlier.contains(name)) << name.toStdString();
                ++same;
                break;
            case Pedigree::Variant::UpperCase:
                EXPECT_EQ(name, name.toUpper());
                ++capitals;
                break;
            case Pedigree::Variant::DoubledLetter:
                EXPECT_FALSE(earlier.contains(name)) << name.toStdString();
                ++doubled;
                break;
        }
    }
    EXPECT_GT(same, 60);
    EXPECT_GT(capitals, 60);
    EXPECT_GT(doubled, 60);
}

// Ancestors up to grandparents, unknown ones left out.
std::set<qint32> CloseAncestors(const Pedigree& pedigree, qint32 position) {
    std::set<qint32> ancestors;
    for (qint32 parent : {pedigree.At(position).sire, pedigree.At(position).dam}) {
        if (parent > 0) {
            ancestors.insert({parent, pedigree.At(parent).sire, pedigree.At(parent).dam});
        }
    }
    ancestors.erase(0);
    return ancestors;
}

// Share of the matings (litters by sire and dam) between dogs that share a parent or a
// grandparent, from the third generation on, where every sire has grandparents.
double RelatedMatings(const Pedigree& pedigree) {
    std::set<std::pair<qint32, qint32>> matings;
    for (qint32 p = 1; p <= pedigree.Size(); ++p) {
        if (pedigree.At(p).sire > 0 && pedigree.At(p).dam > 0 && pedigree.At(p).generation >= 3) {
            matings.insert({pedigree.At(p).sire, pedigree.At(p).dam});
        }
    }
    int related = 0;
    for (const auto& [sire, dam] : matings) {
        const std::set<qint32> a = CloseAncestors(pedigree, sire);
        const std::set<qint32> b = CloseAncestors(pedigree, dam);
        related += std::any_of(a.begin(), a.end(), [&](qint32 x) { return b.count(x) > 0; });
    }
    return matings.empty() ? 0.0
                           : static_cast<double>(related) / static_cast<double>(matings.size());
}

TEST(PedigreeGeneratorTest, TheInbreedingRateIsTheShareOfMatingsBetweenRelatives) {
    PedigreeOptions options;
    options.dogs = 20000;
    options.generations = 8;
    options.unknown_parent_share = 0.0;
    std::vector<double> shares;
    for (double rate : {0.0, 0.5, 1.0}) {
        options.inbreeding = rate;
        shares.push_back(RelatedMatings(PedigreeGenerator::Generate(options)));
    }
    // Popular sires make some matings related whatever the rate; the rate adds its share.
    EXPECT_LT(shares[0], 0.2);
    EXPECT_NEAR(shares[1], shares[0] + 0.5 * (1 - shares[0]), 0.06);
    EXPECT_GT(shares[2], 0.9);
}

}  // namespace
}  // namespace lineara
