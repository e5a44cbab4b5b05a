#include "sample/KennelTextLoader.h"

#include "store/RecordStore.h"
#include "store/StoreError.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::TempWorkDir;

QString WriteFile(const TempWorkDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.File(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

DogRecord RowOf(RecordStore& store, qint32 dog_id) {
    store.FindFirst(Criterion::ById(dog_id));
    EXPECT_FALSE(store.NoMatch()) << dog_id;
    return store.Record();
}

TEST(KennelTextLoaderTest, WritesDogsInFileOrderWithTheirParentsLinked) {
    TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    // Pup's parents come after it, and Narcissus is its own sire: both can only be linked
    // once the dogs have their DogIDs.
    const KennelText kennel = KennelText::Parse(
        QStringLiteral("dog: Pup\nsire: Rover\ndam: Bella\nborn: 2020-02-29\ntitles: AmCh\n"
                       "dog: Rover\ncall: Ro\n"
                       "dog: Bella\nsire: Rover\nComments: first\n  second\n"
                       "dog: Narcissus\nsire: Narcissus\n"));
    ASSERT_TRUE(kennel.Ok());

    const std::vector<qint32> ids = WriteKennel(store.Database(), kennel);
    EXPECT_EQ(ids, (std::vector<qint32>{1, 2, 3, 4}));

    store.Refresh();
    const DogRecord pup = RowOf(store, 1);
    EXPECT_EQ(pup.Text(Field::RegName), QStringLiteral("Pup"));
    EXPECT_EQ(pup.Long(Field::SireID), 2);
    EXPECT_EQ(pup.Long(Field::DamID), 3);
    EXPECT_EQ(pup.Date(Field::DOB), QDate(2020, 2, 29));
    EXPECT_TRUE(pup.Flag(Field::AmCh));
    EXPECT_FALSE(pup.Flag(Field::SexMale));
    EXPECT_TRUE(pup.IsNull(Field::CallName));

    const DogRecord rover = RowOf(store, 2);
    EXPECT_TRUE(rover.Flag(Field::SexMale));
    EXPECT_EQ(rover.Text(Field::CallName), QStringLiteral("Ro"));
    EXPECT_EQ(rover.Long(Field::SireID), 0);

    const DogRecord bella = RowOf(store, 3);
    EXPECT_EQ(bella.Long(Field::SireID), 2);
    EXPECT_EQ(bella.Long(Field::DamID), 0);
    EXPECT_EQ(bella.Text(Field::Comments), QStringLiteral("first\nsecond"));

    EXPECT_EQ(RowOf(store, 4).Long(Field::SireID), 4);
    store.MoveLast();
    EXPECT_EQ(store.RecordCount(), 4);
}

TEST(KennelTextLoaderTest, AddsToADatabaseThatAlreadyHoldsDogs) {
    TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const qint32 existing = test::AddTestDog(store, QStringLiteral("Rover"));

    const KennelText kennel =
        KennelText::Parse(QStringLiteral("dog: Pup\nsire: Sire\ndog: Sire\nsex: male\n"));
    const std::vector<qint32> ids = WriteKennel(store.Database(), kennel);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_GT(ids[0], existing);
    store.Refresh();
    EXPECT_EQ(RowOf(store, ids[0]).Long(Field::SireID), ids[1]);
    EXPECT_EQ(RowOf(store, existing).Text(Field::RegName), QStringLiteral("Rover"));
}

TEST(KennelTextLoaderTest, AKennelWithErrorsWritesNothing) {
    TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const KennelText kennel = KennelText::Parse(QStringLiteral("dog: Pup\nsire: Nobody\n"));
    try {
        WriteKennel(store.Database(), kennel);
        FAIL() << "a kennel with errors was written";
    } catch (const KennelTextError& error) {
        ASSERT_EQ(error.Issues().size(), 1u);
        EXPECT_EQ(error.Issues()[0].line, 2);
    }
    store.MoveLast();
    EXPECT_EQ(store.RecordCount(), 0);
}

TEST(KennelTextLoaderTest, BuildsANewDatabaseFileAndNeverLeavesAHalfMadeOne) {
    TempWorkDir dir;
    const QString good = WriteFile(dir, QStringLiteral("good.txt"),
                                   "dog: Rover\nsex: male\n\ndog: Pup\nsire: Rover\n");
    const QString bad = WriteFile(dir, QStringLiteral("bad.txt"), "dog: Pup\nsire: Nobody\n");
    const QString target = dir.File(QStringLiteral("Kennel.mdb"));

    EXPECT_THROW(BuildKennelDatabase(bad, target), KennelTextError);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 2) << "only the two texts";

    const KennelText kennel = BuildKennelDatabase(good, target);
    EXPECT_EQ(kennel.Dogs().size(), 2u);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 3);
    {
        RecordStore store(target);
        store.MoveLast();
        EXPECT_EQ(store.RecordCount(), 2);
        EXPECT_EQ(RowOf(store, 2).Long(Field::SireID), 1);
    }

    // An existing file is never replaced, not even by a good text.
    QFile existing(target);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    const QByteArray before = existing.readAll();
    existing.close();
    try {
        BuildKennelDatabase(good, target);
        FAIL() << "an existing database was replaced";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.Reason(), QStringLiteral("A file of that name already exists."));
    }
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), before);
}

TEST(KennelTextLoaderTest, TheSampleKennelBuildsIntoADatabase) {
    TempWorkDir dir;
    const QString target = dir.File(QStringLiteral("Sample Kennel.mdb"));
    const KennelText kennel =
        BuildKennelDatabase(QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt"), target);
    RecordStore store(target);
    store.MoveLast();
    EXPECT_EQ(store.RecordCount(), static_cast<qint64>(kennel.Dogs().size()));

    store.FindFirst(QStringLiteral("RegName=\"Stonebrook Northern Lights\""));
    ASSERT_FALSE(store.NoMatch());
    const qint32 sire = store.Long(Field::SireID);
    store.FindFirst(Criterion::ById(sire));
    EXPECT_EQ(store.Text(Field::RegName), QStringLiteral("Stonebrook Northern Star"));
    EXPECT_TRUE(store.Flag(Field::SexMale));
    EXPECT_TRUE(store.Flag(Field::AmCh));

    // Non-ASCII names are found ignoring letter case, as the store promises.
    store.FindFirst(QString::fromUtf8("RegName=\"\xC3\x85KERBACKEN'S S\xC3\x96LVE\""));
    EXPECT_FALSE(store.NoMatch());
}

}  // namespace
}  // namespace lineara
