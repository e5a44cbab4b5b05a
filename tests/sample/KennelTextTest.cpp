#include "sample/KennelTextLoader.h"

#include "store/RecordStore.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::TempWorkDir;

DogRecord RowOf(RecordStore& store, qint32 dog_id) {
    store.FindFirst(Criterion::ById(dog_id));
    EXPECT_FALSE(store.NoMatch()) << dog_id;
    return store.Record();
}

// Parents may come before or after their offspring, in any letter case, and a dog may be its
// own sire: all can only be linked once every dog has its DogID.
TEST(KennelTextLoaderTest, WritesDogsInFileOrderWithTheirParentsLinked) {
    TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const qint32 existing = test::AddTestDog(store, QStringLiteral("Rover"));
    const KennelText kennel = KennelText::Parse(
        QStringLiteral("# the pup first\n"
                       "dog: Pup\nsire: ROVER\ndam: Bella\nborn: 2020-02-29\ntitles: AmCh\n\n"
                       "dog: Rover\ncall: Ro\n"
                       "dog: Bella\nsire: Rover\nComments: first\n  second\n"
                       "dog: Narcissus\nsire: Narcissus\n"));
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();

    const std::vector<qint32> ids = WriteKennel(store.Database(), kennel);
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[0], existing + 1);
    store.Refresh();
    const DogRecord pup = RowOf(store, ids[0]);
    EXPECT_EQ(pup.Long(Field::SireID), ids[1]) << "found ignoring letter case";
    EXPECT_EQ(pup.Long(Field::DamID), ids[2]);
    EXPECT_EQ(pup.Date(Field::DOB), QDate(2020, 2, 29));
    EXPECT_TRUE(pup.Flag(Field::AmCh));
    EXPECT_FALSE(pup.Flag(Field::SexMale));

    const DogRecord rover = RowOf(store, ids[1]);
    EXPECT_TRUE(rover.Flag(Field::SexMale)) << "named as a sire";
    EXPECT_EQ(rover.Text(Field::CallName), QStringLiteral("Ro"));
    const DogRecord bella = RowOf(store, ids[2]);
    EXPECT_EQ(bella.Long(Field::SireID), ids[1]);
    EXPECT_EQ(bella.Text(Field::Comments), QStringLiteral("first\nsecond"));
    EXPECT_EQ(RowOf(store, ids[3]).Long(Field::SireID), ids[3]);
    EXPECT_EQ(RowOf(store, existing).Text(Field::RegName), QStringLiteral("Rover"));
}

TEST(KennelTextLoaderTest, AKennelWithErrorsWritesNothingAndReportsEveryLine) {
    TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const KennelText kennel = KennelText::Parse(
        QStringLiteral("dog: Rex\nsire: Nobody\nsex: neuter\ndog: Fido\nborn: soon\n"));
    EXPECT_EQ(kennel.ErrorText(),
              QStringLiteral("line 2: No dog named \"Nobody\" is in this kennel.\n"
                             "line 3: \"neuter\" is not a sex: write male or female.\n"
                             "line 5: \"soon\" is not a date written as year-month-day, such as "
                             "2014-04-12."));
    try {
        WriteKennel(store.Database(), kennel);
        ADD_FAILURE() << "a kennel with errors was written";
    } catch (const KennelTextError& error) {
        EXPECT_EQ(error.Issues(), kennel.Errors());
    }
    store.MoveLast();
    EXPECT_EQ(store.RecordCount(), 0);
}

}  // namespace
}  // namespace lineara
