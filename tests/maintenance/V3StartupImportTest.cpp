#include "app/SettingsFile.h"
#include "app/Startup.h"
#include "maintenance/OldDataFile.h"
#include "maintenance/V3Import.h"
#include "store/DogDatabase.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QFile>

namespace lineara {
namespace {

// Start-up with the old data file in the working folder, under any letter case, and the
// current database possibly being the imported one itself.
class V3StartupImportTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {
protected:
    test::TempWorkDir work_;
    AppState state_;
    test::ScriptedPrompts prompts_;
    NoProgress progress_;
};

TEST_P(V3StartupImportTest, ImportsMakesCurrentAndMovesOldFileAside) {
    const auto [dat_name, current_name] = GetParam();
    state_.working_directory = work_.Path();
    const QString current = work_.File(QString::fromLatin1(current_name));
    DogDatabase::Create(current);
    {
        RecordStore store(current);
        test::AddTestDog(store, QStringLiteral("Old Dog"));
    }
    SettingsRecord settings = RestoreDefaultSettings();
    settings.DatabaseFile = current;
    ASSERT_TRUE(WriteSettings(settings, work_.Path()).isEmpty());
    olddata::OldRecord dog;
    dog.SetText(olddata::kRegName, QStringLiteral("Imported Dog"));
    ASSERT_TRUE(olddata::WriteOldDataFile(work_.File(QString::fromLatin1(dat_name)),
                                          olddata::OldDataFileBytes({dog})));
    ASSERT_TRUE(olddata::WriteOldDataFile(work_.File(QStringLiteral("LINEARA.OLDDAT")), "older"));

    prompts_.AnswerMessage(Prompts::Answer::Yes);
    Startup startup(state_, prompts_);
    FailAfter never;
    startup.SetImporter([&](const std::function<void()>& release) {
        return RunV3Import(state_, prompts_, progress_, release, never);
    });
    auto store = startup.Run();
    ASSERT_TRUE(store);
    const QString imported = work_.File(QStringLiteral("Imported Data.mdb"));
    EXPECT_EQ(state_.DatabasePath(), imported);
    store->MoveFirst();
    EXPECT_EQ(store->Value(Field::RegName).toString(), QStringLiteral("Imported Dog"));
    EXPECT_EQ(store->RecordCount(), 1);
    EXPECT_FALSE(QFile::exists(work_.File(QString::fromLatin1(dat_name))));
    EXPECT_EQ(work_.Read(QStringLiteral("LINEARA.OLDDAT")).size(),
              olddata::kHeaderSize + olddata::kRecordSize);
    if (current != imported) {
        EXPECT_EQ(DogDatabase::Open(current)->CountRows(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, V3StartupImportTest,
                         ::testing::Values(std::pair{"LINEARA.DAT", "Kennel.mdb"},
                                           std::pair{"lineara.dat", "Kennel.mdb"},
                                           std::pair{"LINEARA.DAT", "Imported Data.mdb"}));

}  // namespace
}  // namespace lineara
