// The bundled sample kennel is what a new user sees first, so it is held to what a breeder
// would expect of real records: enough dogs and generations, every kind of title, and a
// first dog (the one the program opens on) with a chart worth looking at.

#include "sample/KennelTextLoader.h"

#include "store/RecordStore.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <set>

namespace lineara {
namespace {

const QString kSampleKennel = QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt");

class SampleKennelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kennel_ = new KennelText(KennelText::ParseFile(kSampleKennel)); }
    static void TearDownTestSuite() {
        delete kennel_;
        kennel_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(kennel_->Ok()) << kennel_->ErrorText().toStdString(); }

    static const std::vector<KennelText::Dog>& Dogs() { return kennel_->Dogs(); }
    static QString NameOf(int index) {
        return Dogs()[static_cast<std::size_t>(index)].record.Text(Field::RegName);
    }

    static KennelText* kennel_;
};

KennelText* SampleKennelTest::kennel_ = nullptr;

TEST_F(SampleKennelTest, IsAKennelOfAtLeastEightGenerations) {
    const auto& dogs = Dogs();
    EXPECT_GE(dogs.size(), 150u);
    EXPECT_TRUE(kennel_->Warnings().empty()) << "a sire recorded as female or the like";

    const auto males = std::count_if(
        dogs.begin(), dogs.end(), [](const auto& dog) { return dog.record.Flag(Field::SexMale); });
    EXPECT_GE(males, 50);
    EXPECT_GE(static_cast<qsizetype>(dogs.size()) - males, 50);

    // Generations on the longest line from a founder (generation 1) down. Parents may be
    // listed after their offspring, so the kennel is gone over until nothing changes (at
    // most once a dog, should a dog ever be entered as its own ancestor).
    std::vector<int> generation(dogs.size(), 0);
    bool changed = true;
    for (std::size_t pass = 0; changed && pass <= dogs.size(); ++pass) {
        changed = false;
        for (std::size_t i = 0; i < dogs.size(); ++i) {
            int depth = 1;
            for (int parent : {dogs[i].sire, dogs[i].dam}) {
                if (parent >= 0) {
                    depth = std::max(depth, generation[static_cast<std::size_t>(parent)] + 1);
                }
            }
            if (depth != generation[i]) {
                generation[i] = depth;
                changed = true;
            }
        }
    }
    EXPECT_GE(*std::max_element(generation.begin(), generation.end()), 8);

    // Several kennels, each with a line of its own.
    std::map<QString, int> kennels;
    for (const auto& dog : dogs) {
        ++kennels[dog.record.Text(Field::RegName).section(QLatin1Char(' '), 0, 0)];
    }
    EXPECT_GE(std::count_if(kennels.begin(), kennels.end(),
                            [](const auto& kennel) { return kennel.second >= 5; }),
              6);

    // Founders, and a few dogs of whom only one parent is known.
    int founders = 0;
    int one_parent = 0;
    for (const auto& dog : dogs) {
        founders += dog.sire < 0 && dog.dam < 0 ? 1 : 0;
        one_parent += (dog.sire < 0) != (dog.dam < 0) ? 1 : 0;
    }
    EXPECT_GT(founders, 0);
    EXPECT_GE(one_parent, 2);

    for (Field field : {Field::DOB, Field::CallName, Field::Description, Field::PrintNotes,
                        Field::Certifications, Field::Comments, Field::Altered}) {
        EXPECT_GE(std::count_if(dogs.begin(), dogs.end(),
                                [&](const auto& dog) {
                                    return !dog.record.IsNull(field) &&
                                           dog.record.Value(field) != QVariant(false);
                                }),
                  5)
            << lineara::NameOf(field);
    }
}

TEST_F(SampleKennelTest, ParentsAreOfBreedingAgeAndLittersAreSpacedOut) {
    const auto& dogs = Dogs();
    std::map<int, std::set<QDate>> litters;  // by dam
    for (std::size_t i = 0; i < dogs.size(); ++i) {
        const QDate born = dogs[i].record.Date(Field::DOB);
        for (int parent : {dogs[i].sire, dogs[i].dam}) {
            const QDate parent_born =
                parent >= 0 ? dogs[static_cast<std::size_t>(parent)].record.Date(Field::DOB)
                            : QDate();
            if (!born.isValid() || !parent_born.isValid()) {
                continue;
            }
            const double years = static_cast<double>(parent_born.daysTo(born)) / 365.25;
            EXPECT_TRUE(years >= 1.3 && years <= 11.0)
                << NameOf(parent).toStdString() << " was " << years << " when "
                << NameOf(static_cast<int>(i)).toStdString() << " was born";
        }
        if (dogs[i].dam >= 0 && born.isValid()) {
            litters[dogs[i].dam].insert(born);
        }
    }
    for (const auto& [dam, births] : litters) {
        for (auto it = births.begin(); std::next(it) != births.end(); ++it) {
            EXPECT_GE(it->daysTo(*std::next(it)), 330)
                << NameOf(dam).toStdString() << " whelped on " << it->toString().toStdString()
                << " and again on " << std::next(it)->toString().toStdString();
        }
    }
}

TEST_F(SampleKennelTest, HoldsEveryTitleWithItsLaddersWhole) {
    std::set<Field> held;
    std::set<Field> free_text;
    for (const auto& dog : Dogs()) {
        for (int index = kFirstTitleField; index <= IndexOf(Field::ForceCh); ++index) {
            if (dog.record.Flag(FieldAt(index))) {
                held.insert(FieldAt(index));
            }
        }
        for (Field field : {Field::OtherCh, Field::OtherPreTitles, Field::OtherPostTitles}) {
            if (!dog.record.Text(field).isEmpty()) {
                free_text.insert(field);
            }
        }
    }
    for (int index = kFirstTitleField; index <= IndexOf(Field::ForceCh); ++index) {
        EXPECT_TRUE(held.count(FieldAt(index))) << lineara::NameOf(FieldAt(index));
    }
    EXPECT_EQ(free_text.size(), 3u);

    // Records kept with the dog editor hold every lower title of a ladder with a higher one.
    using F = Field;
    const std::vector<std::vector<Field>> ladders{{F::AmCD, F::AmCDX, F::AmUD, F::AmUDX},
                                                  {F::AmCD, F::AmCDX, F::AmUD, F::AmOTCh},
                                                  {F::CanCD, F::CanCDX, F::CanOTCh},
                                                  {F::FD, F::FDX, F::FDCh},
                                                  {F::HT, F::PT, F::HS, F::HI, F::HX, F::HCh},
                                                  {F::NA, F::OA, F::AX},
                                                  {F::ADC, F::AADC, F::MADC},
                                                  {F::UAgI, F::UAgII, F::UAgIII, F::UACh}};
    for (std::size_t i = 0; i < Dogs().size(); ++i) {
        const DogRecord& record = Dogs()[i].record;
        for (const auto& ladder : ladders) {
            for (std::size_t step = 1; step < ladder.size(); ++step) {
                if (record.Flag(ladder[step])) {
                    EXPECT_TRUE(record.Flag(ladder[step - 1]))
                        << NameOf(static_cast<int>(i)).toStdString() << " holds "
                        << lineara::NameOf(ladder[step]) << " without "
                        << lineara::NameOf(ladder[step - 1]);
                }
            }
        }
    }
}

// The program opens on DogID 1: in the built database that must be a young champion whose
// six-generation chart is full enough to show, with line breeding to be seen in it.
TEST_F(SampleKennelTest, OpensOnAYoungChampionWithANearlyFullChart) {
    test::TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("Sample Kennel.mdb"));
    BuildKennelDatabase(kSampleKennel, path);
    RecordStore store(path);

    store.FindFirst(Criterion::ById(1));
    ASSERT_FALSE(store.NoMatch());
    EXPECT_TRUE(store.Flag(Field::AmCh) || store.Flag(Field::CanCh));
    EXPECT_GE(store.Value(Field::DOB).toDate().year(), 2021);

    // Chart places as the program numbers them: the sire of place p is 2p, the dam 2p + 1.
    std::array<qint32, 128> place{};
    place[1] = 1;
    for (int p = 1; p < 64; ++p) {
        if (place[p] == 0) {
            continue;
        }
        store.FindFirst(Criterion::ById(place[p]));
        ASSERT_FALSE(store.NoMatch()) << "place " << p;
        place[2 * p] = store.Long(Field::SireID);
        place[2 * p + 1] = store.Long(Field::DamID);
    }
    int filled = 0;
    std::set<qint32> sire_side;
    std::set<qint32> dam_side;
    for (int p = 2; p < 128; ++p) {
        if (place[p] == 0) {
            continue;
        }
        ++filled;
        int side = p;
        while (side > 3) {
            side /= 2;
        }
        (side == 2 ? sire_side : dam_side).insert(place[p]);
    }
    EXPECT_GE(filled, 100) << "of 126 ancestor places";
    std::vector<qint32> both;
    std::set_intersection(sire_side.begin(), sire_side.end(), dam_side.begin(), dam_side.end(),
                          std::back_inserter(both));
    EXPECT_FALSE(both.empty()) << "no dog on both the sire's and the dam's side";
}

}  // namespace
}  // namespace lineara
