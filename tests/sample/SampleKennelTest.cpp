// The bundled sample kennel is what a new user sees first, so it is held to what a breeder
// would expect of real records: enough dogs and generations, every kind of title, and a
// first dog (the one the program opens on) with a chart worth looking at. It is checked as a
// database built the way the build makes it, read back through the store.

#include "chart/ChartModel.h"
#include "sample/KennelTextLoader.h"
#include "store/RecordStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <set>

namespace lineara {
namespace {

class SampleKennelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Sample Kennel.mdb"));
        warnings_ = BuildKennelDatabase(
                        QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt"), path)
                        .Warnings()
                        .size();
        RecordStore store(path);
        for (store.MoveFirst(); !store.Eof(); store.MoveNext()) {
            dogs_[store.DogID()] = store.Record();
        }
    }

    static inline std::size_t warnings_ = 0;
    static inline std::map<qint32, DogRecord> dogs_;
};

TEST_F(SampleKennelTest, IsALargeKennelOfManyGenerationsKennelsAndTitles) {
    EXPECT_GE(dogs_.size(), 150u);
    EXPECT_EQ(warnings_, 0u) << "a sire recorded as female or the like";

    int males = 0;
    int founders = 0;
    int one_parent = 0;
    std::map<QString, int> kennels;
    std::set<Field> held;  // every title, the free-text ones included
    const Field free_text[] = {Field::OtherCh, Field::OtherPreTitles, Field::OtherPostTitles};
    for (const auto& [id, dog] : dogs_) {
        for (int index = kFirstTitleField; index <= IndexOf(Field::ForceCh); ++index) {
            if (dog.Flag(FieldAt(index))) {
                held.insert(FieldAt(index));
            }
        }
        for (Field field : free_text) {
            if (!dog.Text(field).isEmpty()) {
                held.insert(field);
            }
        }
        males += dog.Flag(Field::SexMale) ? 1 : 0;
        const bool sire = dog.Long(Field::SireID) != 0;
        const bool dam = dog.Long(Field::DamID) != 0;
        founders += !sire && !dam ? 1 : 0;
        one_parent += sire != dam ? 1 : 0;
        ++kennels[dog.Text(Field::RegName).section(QLatin1Char(' '), 0, 0)];
    }
    EXPECT_GE(males, 50);
    EXPECT_GE(static_cast<int>(dogs_.size()) - males, 50);
    EXPECT_GT(founders, 0);
    EXPECT_GE(one_parent, 2);
    EXPECT_GE(std::count_if(kennels.begin(), kennels.end(),
                            [](const auto& kennel) { return kennel.second >= 5; }),
              6);
    for (int index = kFirstTitleField; index <= IndexOf(Field::ForceCh); ++index) {
        EXPECT_TRUE(held.count(FieldAt(index))) << NameOf(FieldAt(index));
    }
    for (Field field : free_text) {
        EXPECT_TRUE(held.count(field)) << NameOf(field);
    }

    // Generations on the longest line from a founder down. Parents may have higher DogIDs
    // than their offspring, so the kennel is gone over once a dog.
    std::map<qint32, int> generation;
    int deepest = 0;
    for (std::size_t pass = 0; pass < dogs_.size(); ++pass) {
        for (const auto& [id, dog] : dogs_) {
            int depth = 1;
            for (Field parent : {Field::SireID, Field::DamID}) {
                if (dogs_.count(dog.Long(parent))) {
                    depth = std::max(depth, generation[dog.Long(parent)] + 1);
                }
            }
            generation[id] = depth;
            deepest = std::max(deepest, depth);
        }
    }
    EXPECT_GE(deepest, 8);

    for (Field field : {Field::DOB, Field::CallName, Field::Description, Field::PrintNotes,
                        Field::Certifications, Field::Comments}) {
        EXPECT_GE(std::count_if(dogs_.begin(), dogs_.end(),
                                [&](const auto& dog) { return !dog.second.IsNull(field); }),
                  5)
            << NameOf(field);
    }
}

// The program opens on DogID 1: that must be a young champion whose six-generation chart is
// full enough to show, with line breeding to be seen in it.
TEST_F(SampleKennelTest, OpensOnAYoungChampionWithANearlyFullLineBredChart) {
    ASSERT_TRUE(dogs_.count(1));
    EXPECT_TRUE(dogs_[1].Flag(Field::AmCh) || dogs_[1].Flag(Field::CanCh));
    EXPECT_GE(dogs_[1].Date(Field::DOB).year(), 2021);

    // Chart places as the program numbers them: the sire of place p is 2p, the dam 2p + 1.
    std::array<qint32, 128> place{};
    place[1] = 1;
    int filled = 0;
    std::set<qint32> side[2];  // told by the bit below a place's leading one: 0 sire, 1 dam
    for (int p = 2; p < 128; ++p) {
        const auto child = dogs_.find(place[p / 2]);
        place[p] = child == dogs_.end() ? 0
                                        : child->second.Long(p % 2 == 0 ? Field::SireID
                                                                        : Field::DamID);
        if (place[p] != 0) {
            ++filled;
            side[(p >> (GenerationOf(p) - 1)) & 1].insert(place[p]);
        }
    }
    EXPECT_GE(filled, 100) << "of 126 ancestor places";
    std::vector<qint32> both;
    std::set_intersection(side[0].begin(), side[0].end(), side[1].begin(), side[1].end(),
                          std::back_inserter(both));
    EXPECT_FALSE(both.empty()) << "no dog on both the sire's and the dam's side";
}

}  // namespace
}  // namespace lineara
