#include "store/StagedDatabase.h"

#include "store/StoreError.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace lineara {
namespace {

QStringList FolderEntries(const test::TempWorkDir& work) {
    return QDir(work.Path()).entryList(QDir::Files | QDir::Hidden);
}

TEST(StagedDatabaseTest, AFileAppearsUnderItsNameOnlyWhenCommitted) {
    test::TempWorkDir work;
    const QString final_path = work.File(QStringLiteral("New.mdb"));
    {
        StagedDatabase staged(final_path);
        {
            RecordStore store(staged.TemporaryPath());
            test::AddTestDog(store, QStringLiteral("Staged Dog"));
        }
        EXPECT_FALSE(QFile::exists(final_path));
        staged.Commit(StagedDatabase::Replace::Never);
    }
    RecordStore store(final_path);
    EXPECT_EQ(store.Text(Field::RegName), QStringLiteral("Staged Dog"));
    EXPECT_EQ(FolderEntries(work), QStringList{QStringLiteral("New.mdb")});

    // Abandoned: nothing is left behind.
    { StagedDatabase abandoned(work.File(QStringLiteral("Other.mdb"))); }
    EXPECT_EQ(FolderEntries(work), QStringList{QStringLiteral("New.mdb")});
}

TEST(StagedDatabaseTest, AnExistingFileIsReplacedOnlyWhenAllowed) {
    test::TempWorkDir work;
    const QString final_path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(final_path);
    {
        StagedDatabase staged(final_path);
        EXPECT_THROW(staged.Commit(StagedDatabase::Replace::Never), StoreError);
    }
    EXPECT_EQ(FolderEntries(work), QStringList{QStringLiteral("Kennel.mdb")});
    {
        StagedDatabase staged(final_path);
        {
            RecordStore store(staged.TemporaryPath());
            test::AddTestDog(store, QStringLiteral("Replacement"));
        }
        staged.Commit(StagedDatabase::Replace::Allowed);
    }
    RecordStore store(final_path);
    EXPECT_EQ(store.Text(Field::RegName), QStringLiteral("Replacement"));
}

TEST(StagedDatabaseTest, AFolderThatCannotTakeTheFileIsReportedForTheFinalName) {
    try {
        StagedDatabase staged(QStringLiteral("/nonexistent-folder/New.mdb"));
        FAIL() << "no error";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.File(), QStringLiteral("/nonexistent-folder/New.mdb"));
    }
}

}  // namespace
}  // namespace lineara
