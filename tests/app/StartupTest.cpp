#include "app/SettingsFile.h"
#include "app/Startup.h"
#include "store/DogDatabase.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace lineara {
namespace {

using test::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;

class StartupTest : public ::testing::Test {
protected:
    StartupTest() { state_.working_directory = work_.Path(); }

    QString MakeDatabase(const QString& name, const QString& dog = QStringLiteral("Sample Dog")) {
        const QString path = work_.File(name);
        DogDatabase::Create(path);
        RecordStore store(path);
        test::AddTestDog(store, dog);
        return path;
    }

    void WriteSettingsNaming(const QString& database) {
        SettingsRecord record = RestoreDefaultSettings();
        record.DatabaseFile = database;
        ASSERT_TRUE(WriteSettings(record, work_.Path()).isEmpty());
    }

    std::unique_ptr<RecordStore> Run(const QString& requested = QString()) {
        Startup startup(state_, prompts_);
        startup.SetRequestedDatabase(requested);
        return startup.Run();
    }

    void ExpectCantStart(const std::unique_ptr<RecordStore>& store) {
        EXPECT_EQ(store, nullptr);
        const auto* last = prompts_.LastMessage();
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->title, "Can't start LINEARA");
        EXPECT_EQ(last->text, "You cannot start without choosing a LINEARA database.");
        EXPECT_EQ(last->buttons, Prompts::Buttons::Ok);
    }

    test::TempWorkDir work_;
    AppState state_;
    ScriptedPrompts prompts_;
};

TEST_F(StartupTest, FirstRunAsksForADatabaseAndTheNextOpensTheSavedOne) {
    const QString db = MakeDatabase(QStringLiteral("Sample Kennel.mdb"));
    prompts_.AnswerOpenFile(db);
    auto store = Run();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(state_.DatabasePath(), db);
    EXPECT_EQ(store->Text(Field::RegName), "Sample Dog");

    ASSERT_EQ(prompts_.AllShown().size(), 2u);
    EXPECT_EQ(prompts_.AllShown()[0].title, "Error Reading Settings");
    const auto& dialog = prompts_.AllShown()[1];
    EXPECT_EQ(dialog.kind, Kind::OpenFile);
    EXPECT_EQ(dialog.title, "Choose a LINEARA database");
    EXPECT_EQ(dialog.file.filter, "LINEARA Database|*.MDB");
    EXPECT_EQ(dialog.file.directory, work_.Path());
    // Start-up never writes the settings; that happens when the main window closes.
    EXPECT_FALSE(QFile::exists(work_.File(QStringLiteral("LNR40.INI"))));

    // Once saved (blank-padded), the database opens without any question.
    prompts_.Clear();
    WriteSettingsNaming(QStringLiteral("   ") + db + QStringLiteral("   "));
    EXPECT_NE(Run(), nullptr);
    EXPECT_TRUE(prompts_.AllShown().empty());
}

TEST_F(StartupTest, CancellingOrChoosingAnotherKindOfFileEndsTheProgramButMdbInAnyCaseWorks) {
    WriteSettingsNaming(work_.File(QStringLiteral("gone.mdb")));
    ExpectCantStart(Run());  // unscripted file dialog = cancelled
    EXPECT_EQ(prompts_.ShownOfKind(Kind::OpenFile).size(), 1u);

    prompts_.Clear();
    prompts_.AnswerOpenFile(work_.File(QStringLiteral("kennel.txt")));
    ExpectCantStart(Run());
    EXPECT_EQ(prompts_.AllShown().size(), 2u);

    // The extension matches in any letter case.
    for (const char* name : {"lower.mdb", "UPPER.MDB", "Mixed.MdB"}) {
        prompts_.AnswerOpenFile(MakeDatabase(QString::fromLatin1(name)));
        EXPECT_NE(Run(), nullptr) << name;
        EXPECT_TRUE(prompts_.ScriptUsedUp()) << name;
    }
}

TEST_F(StartupTest, AFileThatIsNotADatabaseIsExplainedAndTheDialogComesBack) {
    const QString fake = work_.Write(QStringLiteral("Renamed.mdb"), "Name,Sire,Dam\nRex,,\n");
    const QString good = MakeDatabase(QStringLiteral("Good.mdb"));
    prompts_.AnswerOpenFile(fake);
    prompts_.AnswerOpenFile(good);
    auto store = Run();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(state_.DatabasePath(), good);
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Error Reading Settings", "Cannot Use This Database"}));
    const auto messages = prompts_.ShownOfKind(Kind::Message);
    EXPECT_TRUE(messages[1].text.contains(fake));
    EXPECT_TRUE(messages[1].text.contains("not a LINEARA database"));
    EXPECT_EQ(prompts_.ShownOfKind(Kind::OpenFile).size(), 2u);

    // The same when the settings name such a file.
    prompts_.Clear();
    WriteSettingsNaming(fake);
    ExpectCantStart(Run());
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Cannot Use This Database", "Can't start LINEARA"}));
}

TEST_F(StartupTest, AnOldDataFileInAnyLetterCaseBringsTheImportQuestion) {
    const QString db = MakeDatabase(QStringLiteral("Kennel.mdb"));
    WriteSettingsNaming(db);
    work_.Write(QStringLiteral("Lineara.dat"));
    auto store = Run();  // unscripted question: No
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Import Lineara v3 Data?"});
    const auto* question = prompts_.LastMessage();
    EXPECT_EQ(question->buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(question->text,
              "A LINEARA version 3 data file (LINEARA.DAT) file has been found in the current "
              "directory.  Would you like to import this data?  Your current database will not be "
              "effected (unless it's called \"Imported Data.mdb\"). A new database called "
              "\"Imported Data.mdb\" will be created and set as the default database (to change the "
              "default database, click on \"File|Use a Different Database\" from the main menu).  When "
              "complete, LINEARA.DAT will be renamed LINEARA.OLDDAT (you can delete it later to save "
              "space).");

    // Yes, with no importer in this build: the user is told, and start-up goes on.
    prompts_.Clear();
    prompts_.AnswerMessage(Prompts::Answer::Yes);
    EXPECT_NE(Run(), nullptr);
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Import Lineara v3 Data?", "Import Lineara v3 Data"}));
}

TEST_F(StartupTest, ADatabaseNamedOnTheCommandLineOpensInsteadOfTheLastOne) {
    const QString last = MakeDatabase(QStringLiteral("Last.mdb"));
    const QString given = MakeDatabase(QStringLiteral("Given Kennel.MDB"), QStringLiteral("Given Dog"));
    WriteSettingsNaming(last);
    auto store = Run(given);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Text(Field::RegName), "Given Dog");
    EXPECT_EQ(state_.DatabasePath(), given);  // saved as the current one when the window closes
    EXPECT_TRUE(prompts_.AllShown().empty());

    // A relative name is taken from the working folder; so is the first run without settings.
    QFile::remove(work_.File(QStringLiteral("LNR40.INI")));
    prompts_.Clear();
    store = Run(QStringLiteral("./Given Kennel.MDB"));
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(state_.DatabasePath(), given);
    EXPECT_EQ(prompts_.MessageTitles(), QStringList{"Error Reading Settings"});
    EXPECT_TRUE(prompts_.ShownOfKind(Kind::OpenFile).empty());
}

TEST_F(StartupTest, ACommandLineFileThatCannotBeUsedIsExplainedAndStartUpGoesOnAsWithoutIt) {
    const QString last = MakeDatabase(QStringLiteral("Last.mdb"));
    const QString fake = work_.Write(QStringLiteral("Renamed.mdb"), "Name,Sire,Dam\nRex,,\n");
    const QString other_kind = work_.File(QStringLiteral("kennel.sqlite"));
    ASSERT_TRUE(QFile::copy(last, other_kind));
    const QString missing = work_.File(QStringLiteral("gone.mdb"));
    const QString folder = work_.File(QStringLiteral("folder.mdb"));
    ASSERT_TRUE(QDir().mkpath(folder));

    struct Case {
        QString path;
        const char* reason;
    };
    for (const Case& c : {Case{fake, "not a LINEARA database"}, Case{other_kind, "does not end in .mdb"},
                          Case{missing, "The file does not exist."}, Case{folder, "folder"}}) {
        SCOPED_TRACE(c.path.toStdString());
        prompts_.Clear();
        WriteSettingsNaming(last);
        auto store = Run(c.path);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(state_.DatabasePath(), last);  // the last database, as without the file
        ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Cannot Use This Database"});
        const QString text = prompts_.LastMessage()->text;
        EXPECT_TRUE(text.contains(c.path));
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.reason))) << text.toStdString();
    }

    // Without a usable last database the usual dialog follows, and cancelling it ends the program.
    prompts_.Clear();
    WriteSettingsNaming(missing);
    ExpectCantStart(Run(fake));
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Cannot Use This Database", "Can't start LINEARA"}));
    EXPECT_EQ(prompts_.ShownOfKind(Kind::OpenFile).size(), 1u);

    // The file is left exactly as it was.
    EXPECT_EQ(work_.Read(fake), QByteArray("Name,Sire,Dam\nRex,,\n"));
}

TEST_F(StartupTest, TheOldDataFileIsStillOfferedWhenADatabaseIsNamedOnTheCommandLine) {
    const QString given = MakeDatabase(QStringLiteral("Given.mdb"));
    work_.Write(QStringLiteral("LINEARA.DAT"));
    auto store = Run(given);  // unscripted question: No
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(state_.DatabasePath(), given);
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Error Reading Settings", "Import Lineara v3 Data?"}));
}

}  // namespace
}  // namespace lineara
