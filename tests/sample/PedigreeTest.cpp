#include "sample/KennelText.h"
#include "sample/KennelTextLoader.h"
#include "sample/PedigreeCsv.h"
#include "sample/PedigreeGenerator.h"

#include "store/RecordStore.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace lineara {
namespace {

using test::TempWorkDir;

bool SameDogs(const Pedigree& a, const Pedigree& b) {
    if (a.Size() != b.Size()) {
        return false;
    }
    for (qint32 p = 1; p <= a.Size(); ++p) {
        if (a.RecordOf(p) != b.RecordOf(p)) {
            return false;
        }
    }
    return true;
}

TEST(PedigreeGeneratorTest, TheSameOptionsGiveTheSamePedigree) {
    PedigreeOptions options;
    options.dogs = 3000;
    options.duplicate_share = 0.02;
    const Pedigree first = PedigreeGenerator::Generate(options);
    EXPECT_TRUE(SameDogs(first, PedigreeGenerator::Generate(options)));
    options.seed = 2;
    EXPECT_FALSE(SameDogs(first, PedigreeGenerator::Generate(options)));
    // A fixed point, so that a change to the generator that would alter every benchmark's
    // input is noticed.
    EXPECT_EQ(first.RegNameOf(1), QStringLiteral("Stonebrook Amber Arrow"));
    EXPECT_EQ(first.RegNameOf(2), QString::fromUtf8("\xC3\x85kerbacken Stormy Comet"));
}

struct Shape {
    PedigreeOptions options;
    const char* what;
};

void PrintTo(const Shape& shape, std::ostream* out) {
    *out << shape.what;
}

class PedigreeShapeTest : public ::testing::TestWithParam<Shape> {};

TEST_P(PedigreeShapeTest, KeepsEveryRuleOfARealPedigree) {
    const PedigreeOptions& options = GetParam().options;
    const Pedigree pedigree = PedigreeGenerator::Generate(options);
    ASSERT_EQ(pedigree.Size(), options.dogs);

    const qint32 duplicates =
        static_cast<qint32>(std::llround(options.dogs * options.duplicate_share));
    const qint32 originals = options.dogs - duplicates;
    QSet<QString> names;
    std::set<qint32> parents;
    for (qint32 p = 1; p <= pedigree.Size(); ++p) {
        const Pedigree::Dog& dog = pedigree.At(p);
        if (dog.sire > 0) {
            ASSERT_LT(dog.sire, p);
            EXPECT_TRUE(pedigree.At(dog.sire).male) << p;
            EXPECT_LT(pedigree.At(dog.sire).generation, dog.generation);
            EXPECT_LE(dog.generation - pedigree.At(dog.sire).generation,
                      options.parent_generations);
            EXPECT_LT(pedigree.At(dog.sire).born, dog.born);
            parents.insert(dog.sire);
        }
        if (dog.dam > 0) {
            ASSERT_LT(dog.dam, p);
            EXPECT_FALSE(pedigree.At(dog.dam).male) << p;
            EXPECT_LT(pedigree.At(dog.dam).born, dog.born);
            parents.insert(dog.dam);
        }
        if (dog.generation == 0) {
            EXPECT_EQ(dog.sire + dog.dam, 0) << "founders have no parents";
        }
        const QDate born = QDate::fromJulianDay(dog.born);
        EXPECT_TRUE(born.year() > 1900 && born.year() < 2020) << born.toString().toStdString();
        if (p <= originals) {
            EXPECT_EQ(dog.variant, Pedigree::Variant::Plain);
            const QString folded = pedigree.RegNameOf(p).toCaseFolded();
            EXPECT_FALSE(names.contains(folded)) << pedigree.RegNameOf(p).toStdString();
            names.insert(folded);
        }
    }
    // The second entries come last, copy a dog under a varied name, and have no offspring.
    for (qint32 p = originals + 1; p <= pedigree.Size(); ++p) {
        const Pedigree::Dog& copy = pedigree.At(p);
        EXPECT_NE(copy.variant, Pedigree::Variant::Plain);
        EXPECT_EQ(parents.count(p), 0u);
        const qint32 original = static_cast<qint32>(copy.name) + 1;
        EXPECT_EQ(pedigree.At(original).sire, copy.sire);
        EXPECT_EQ(pedigree.At(original).dam, copy.dam);
        EXPECT_NE(pedigree.RegNameOf(p), pedigree.RegNameOf(original));
        if (copy.variant == Pedigree::Variant::UpperCase) {
            EXPECT_EQ(pedigree.RegNameOf(p), pedigree.RegNameOf(original).toUpper());
        } else {
            EXPECT_EQ(pedigree.RegNameOf(p).size(), pedigree.RegNameOf(original).size() + 1);
        }
    }
}

PedigreeOptions Options(qint32 dogs, int generations, double duplicates = 0.0,
                        double unknown = 0.02) {
    PedigreeOptions options;
    options.dogs = dogs;
    options.generations = generations;
    options.duplicate_share = duplicates;
    options.unknown_parent_share = unknown;
    return options;
}

PedigreeOptions LineBred(PedigreeOptions options) {
    options.inbreeding = 1.0;
    options.complete_last_ancestry = true;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PedigreeShapeTest,
    ::testing::Values(Shape{Options(5000, 12, 0.05), "breed-like, with duplicates"},
                      Shape{Options(1, 12), "a single dog"},
                      Shape{Options(7, 12), "fewer dogs than generations"},
                      Shape{Options(2000, 40, 0.0, 0.5), "deep, with many unknown parents"},
                      Shape{LineBred(Options(3000, 12, 0.05, 0.2)),
                            "line bred throughout, last ancestry completed"},
                      Shape{Options(60000, 3), "more dogs than word combinations"}));

// Ancestors up to grandparents, 0 for unknown ones left out.
std::set<qint32> CloseAncestors(const Pedigree& pedigree, qint32 position) {
    std::set<qint32> ancestors;
    const Pedigree::Dog& dog = pedigree.At(position);
    for (qint32 parent : {dog.sire, dog.dam}) {
        if (parent > 0) {
            ancestors.insert(parent);
            for (qint32 grandparent : {pedigree.At(parent).sire, pedigree.At(parent).dam}) {
                if (grandparent > 0) {
                    ancestors.insert(grandparent);
                }
            }
        }
    }
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
    PedigreeOptions options = Options(20000, 8, 0.0, 0.0);
    std::vector<double> shares;
    for (double rate : {0.0, 0.3, 0.7, 1.0}) {
        options.inbreeding = rate;
        shares.push_back(RelatedMatings(PedigreeGenerator::Generate(options)));
    }
    // Popular sires make some matings related whatever the rate; the rate adds its share.
    EXPECT_LT(shares[0], 0.2);
    EXPECT_NEAR(shares[1], shares[0] + 0.3 * (1 - shares[0]), 0.06);
    EXPECT_NEAR(shares[2], shares[0] + 0.7 * (1 - shares[0]), 0.06);
    EXPECT_GT(shares[3], 0.9);
}

TEST(PedigreeGeneratorTest, CompletesTheLastDogsAncestryOnRequest) {
    PedigreeOptions options = Options(3000, 12, 0.0, 0.3);
    const Pedigree plain = PedigreeGenerator::Generate(options);
    options.complete_last_ancestry = true;
    const Pedigree completed = PedigreeGenerator::Generate(options);
    ASSERT_EQ(completed.Size(), plain.Size());

    std::set<qint32> ancestry;
    std::vector<qint32> todo{completed.Size()};
    while (!todo.empty()) {
        const Pedigree::Dog& dog = completed.At(todo.back());
        todo.pop_back();
        if (dog.generation > 0) {
            EXPECT_GT(dog.sire, 0);
            EXPECT_GT(dog.dam, 0);
        }
        for (qint32 parent : {dog.sire, dog.dam}) {
            if (parent > 0 && ancestry.insert(parent).second) {
                todo.push_back(parent);
            }
        }
    }
    // Twelve generations, each drawing on the two before it: a full six-generation chart.
    std::vector<qint32> place(128, 0);
    place[1] = completed.Size();
    int filled = 0;
    for (int p = 2; p < 128; ++p) {
        const qint32 child = place[static_cast<std::size_t>(p / 2)];
        if (child > 0) {
            const Pedigree::Dog& dog = completed.At(child);
            place[static_cast<std::size_t>(p)] = p % 2 == 0 ? dog.sire : dog.dam;
            filled += place[static_cast<std::size_t>(p)] > 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(filled, 126);
    // Nobody outside that ancestry is touched.
    for (qint32 p = 1; p < completed.Size(); ++p) {
        if (!ancestry.count(p)) {
            EXPECT_EQ(completed.At(p).sire, plain.At(p).sire) << p;
            EXPECT_EQ(completed.At(p).dam, plain.At(p).dam) << p;
        }
    }
}

TEST(PedigreeGeneratorTest, PopularSiresBreedInbreeding) {
    PedigreeOptions options = Options(6000, 6, 0.0, 0.0);
    options.stud_share = 0.1;
    const Pedigree pedigree = PedigreeGenerator::Generate(options);
    std::set<qint32> sires;
    qint32 males_before = 0;
    for (qint32 p = 1; p <= pedigree.Size(); ++p) {
        const Pedigree::Dog& dog = pedigree.At(p);
        if (dog.generation == 5) {
            sires.insert(dog.sire);
        } else if (dog.generation >= 3 && dog.male) {
            ++males_before;
        }
    }
    EXPECT_LE(static_cast<double>(sires.size()), std::ceil(0.1 * males_before) + 2);
    EXPECT_GT(sires.size(), 5u);
}

TEST(PedigreeGeneratorTest, RefusesOptionsOutOfRange) {
    const auto bad = [](auto change) {
        PedigreeOptions options;
        change(options);
        return options;
    };
    for (const PedigreeOptions& options :
         {bad([](auto& o) { o.dogs = -1; }), bad([](auto& o) { o.generations = 0; }),
          bad([](auto& o) { o.parent_generations = 0; }), bad([](auto& o) { o.stud_share = 0; }),
          bad([](auto& o) { o.champion_share = 1.5; }), bad([](auto& o) { o.inbreeding = 1.01; }),
          bad([](auto& o) { o.inbreeding = -0.5; }),
          bad([](auto& o) { o.duplicate_share = -0.1; })}) {
        EXPECT_THROW(PedigreeGenerator::Generate(options), std::invalid_argument);
    }
    EXPECT_EQ(PedigreeGenerator::Generate(bad([](auto& o) { o.dogs = 0; })).Size(), 0);
}

TEST(PedigreeTest, AddRefusesParentsThatComeLater) {
    Pedigree pedigree;
    Pedigree::Dog dog;
    EXPECT_EQ(pedigree.Add(dog), 1);
    dog.sire = 1;
    EXPECT_EQ(pedigree.Add(dog, QStringLiteral("Named")), 2);
    EXPECT_EQ(pedigree.RegNameOf(2), QStringLiteral("Named"));
    dog.dam = 3;
    EXPECT_THROW(pedigree.Add(dog), std::invalid_argument);
    EXPECT_EQ(pedigree.Size(), 2);
}

// Written straight into a database or through kennel text, a pedigree gives the same rows.
TEST(PedigreeTest, WritesTheSameRowsDirectlyAndThroughKennelText) {
    TempWorkDir dir;
    PedigreeOptions options = Options(400, 6, 0.05);
    options.champion_share = 0.3;
    const Pedigree pedigree = PedigreeGenerator::Generate(options);

    const QString direct_path = dir.File(QStringLiteral("direct.mdb"));
    const QString text_path = dir.File(QStringLiteral("text.mdb"));
    test::CreateDatabase(direct_path);
    test::CreateDatabase(text_path);
    RecordStore direct(direct_path);
    RecordStore through_text(text_path);

    std::vector<qint32> progress;
    const std::vector<qint32> ids =
        pedigree.WriteTo(direct.Database(), [&](qint32 done) { progress.push_back(done); });
    ASSERT_EQ(ids.size(), 400u);
    EXPECT_EQ(ids.front(), 1);
    EXPECT_EQ(ids.back(), 400);
    EXPECT_EQ(progress, std::vector<qint32>{400});

    const KennelText kennel = KennelText::Parse(pedigree.ToKennelText());
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_TRUE(kennel.Warnings().empty());
    WriteKennel(through_text.Database(), kennel);

    direct.MoveFirst();
    through_text.MoveFirst();
    qint32 rows = 0;
    for (; !direct.Eof(); direct.MoveNext(), through_text.MoveNext(), ++rows) {
        ASSERT_FALSE(through_text.Eof());
        ASSERT_EQ(direct.Record(), through_text.Record()) << "row " << rows + 1;
        EXPECT_EQ(direct.Record(), [&] {
            DogRecord expected = pedigree.RecordOf(rows + 1);
            expected.SetValue(Field::DogID, rows + 1);
            return expected;
        }());
    }
    EXPECT_TRUE(through_text.Eof());
    EXPECT_EQ(rows, 400);
}

TEST(PedigreeCsvTest, ReadsIdsSiresAndDamsInAnyOrder) {
    const Pedigree pedigree = PedigreeCsv::Parse(QStringLiteral("\"id\",\"sire\",\"dam\"\n"
                                                                "\"30\",\"10\",\"20\"\r\n"
                                                                "\n"
                                                                "10,,\n"
                                                                "20,NA,0,extra column\n"
                                                                "40, 30 ,\"99\"\n"
                                                                "50,.,\n"
                                                                "\"6\"\"0\",,\n"),
                                                 QStringLiteral("Cow "));
    // 99 has no line of its own and joins as a founder.
    ASSERT_EQ(pedigree.Size(), 7);
    QStringList names;
    for (qint32 p = 1; p <= pedigree.Size(); ++p) {
        names.append(pedigree.RegNameOf(p));
    }
    EXPECT_EQ(names, (QStringList{"Cow 10", "Cow 20", "Cow 30", "Cow 99", "Cow 40", "Cow 50",
                                  "Cow 6\"0"}));
    const Pedigree::Dog& cow30 = pedigree.At(3);
    EXPECT_EQ(cow30.sire, 1);
    EXPECT_EQ(cow30.dam, 2);
    EXPECT_EQ(cow30.generation, 1);
    EXPECT_EQ(pedigree.At(5).sire, 3);
    EXPECT_EQ(pedigree.At(5).dam, 4);
    EXPECT_EQ(pedigree.At(5).generation, 2);
    EXPECT_TRUE(pedigree.At(1).male);
    EXPECT_FALSE(pedigree.At(2).male);
    EXPECT_TRUE(pedigree.At(3).male);
    EXPECT_FALSE(pedigree.At(4).male);
    EXPECT_NE(pedigree.At(6).male, pedigree.At(7).male) << "animals with no offspring alternate";
}

TEST(PedigreeCsvTest, RejectsBrokenFilesNamingTheLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"1,,\n2,1\n", "line 2: expected id, sire and dam"},
        {"1,,\n1,,\n", "line 2: id 1 is already on line 1"},
        {",1,2\n", "line 1: an animal needs an id"},
        {"1,\"2,\n", "line 1: a quote is not closed"},
        {"1,\"2\"x,\n", "line 1: text after a closing quote"},
        {"1,3,\n2,1,\n3,2,\n", "line 1: 1 is its own ancestor"},
    };
    for (const auto& c : cases) {
        try {
            PedigreeCsv::Parse(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message) << c.text;
        }
    }
}

}  // namespace
}  // namespace lineara
