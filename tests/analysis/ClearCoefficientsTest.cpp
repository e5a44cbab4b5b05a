#include "analysis/ClearCoefficients.h"
#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "store/DogDatabase.h"
#include "support/CliProcess.h"
#include "support/MainWindowDriver.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QRandomGenerator>

namespace lineara {
namespace {

using test::ScriptedPrompts;

const QString kQuestion = QStringLiteral(
    "This will clear all inbreeding coefficients from the database.  Do you want to continue?");

// A database of `count` dogs; every third one has no coefficient, the rest have one.
QString MakeKennel(const test::TempWorkDir& work, const QString& name, int count) {
    const QString path = work.File(name);
    DogDatabase::Create(path);
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    DogDatabase::Transaction transaction(*database);
    for (int i = 0; i < count; ++i) {
        DogRecord dog;
        dog.SetValue(Field::RegName, QStringLiteral("Dog %1").arg(i));
        if (i % 3 != 0)
            dog.SetValue(Field::IC, 1.0 / (i + 2));
        database->InsertRow(dog);
    }
    transaction.Commit();
    return path;
}

qint64 StoredCoefficients(const QString& path) {
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    qint64 n = 0;
    for (qint32 id = database->MinId(); id > 0 && id <= database->MaxId(); ++id) {
        if (const std::optional<DogRecord> dog = database->ReadRow(id);
            dog && !dog->IsNull(Field::IC))
            ++n;
    }
    return n;
}

TEST(ClearCoefficientsTest, AsksThenClearsEveryCoefficientAndSaysSo) {
    test::TempWorkDir work;
    const QString path = MakeKennel(work, QStringLiteral("Kennel.mdb"), 30);
    const QStringList before = test::SnapshotRows(path);
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);

    // No: nothing changes.
    ScriptedPrompts prompts;
    prompts.AnswerMessage(Prompts::Answer::No);
    EXPECT_FALSE(RunClearAllInbreedingCoefficients(*database, prompts));
    ASSERT_EQ(prompts.AllShown().size(), 1u);
    EXPECT_EQ(prompts.AllShown()[0].title, QStringLiteral("Clear Inbreeding Coefficients"));
    EXPECT_EQ(prompts.AllShown()[0].text, kQuestion);
    EXPECT_EQ(prompts.AllShown()[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(test::SnapshotRows(path), before);

    // Yes: every coefficient goes, nothing else changes.
    prompts.Clear();
    prompts.AnswerMessage(Prompts::Answer::Yes);
    int working_calls = 0;
    static int* calls = nullptr;
    calls = &working_calls;
    EXPECT_TRUE(RunClearAllInbreedingCoefficients(*database, prompts, {}, [](bool) { ++*calls; }));
    EXPECT_EQ(working_calls, 2);
    ASSERT_EQ(prompts.AllShown().size(), 2u);
    EXPECT_EQ(prompts.AllShown()[1].title, QStringLiteral("Inbreeding Coefficients Cleared"));
    EXPECT_EQ(prompts.AllShown()[1].text,
              QStringLiteral("All inbreeding coefficients have been cleared"));
    EXPECT_EQ(StoredCoefficients(path), 0);
    QStringList after = test::SnapshotRows(path);
    ASSERT_EQ(after.size(), before.size());
    int changed = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] != after[i])
            ++changed;
    }
    EXPECT_EQ(changed, 20);  // the dogs that had a coefficient, and only their rows

    // Again: there is nothing left to clear, and the user is told so without a question.
    prompts.Clear();
    EXPECT_FALSE(RunClearAllInbreedingCoefficients(*database, prompts));
    ASSERT_EQ(prompts.AllShown().size(), 1u);
    EXPECT_EQ(prompts.AllShown()[0].text,
              QStringLiteral("No dog in this database has an inbreeding coefficient, so there is "
                             "nothing to clear."));
}

TEST(ClearCoefficientsTest, AnEmptyDatabaseHasNothingToClear) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Empty.mdb"));
    DogDatabase::Create(path);
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    ScriptedPrompts prompts;
    EXPECT_FALSE(RunClearAllInbreedingCoefficients(*database, prompts));
    ASSERT_EQ(prompts.AllShown().size(), 1u);
    EXPECT_EQ(prompts.AllShown()[0].title, QStringLiteral("Clear Inbreeding Coefficients"));
    EXPECT_EQ(prompts.AllShown()[0].text,
              QStringLiteral("There are no dogs in this database, so there are no "
                             "inbreeding coefficients to clear."));
    const ClearCoefficientsResult result = ClearAllInbreedingCoefficients(*database);
    EXPECT_EQ(result.dogs, 0);
    EXPECT_EQ(result.cleared, 0);
}

TEST(ClearCoefficientsTest, AFailurePartWayLeavesEveryRowAsItWas) {
    test::TempWorkDir work;
    const QString path = MakeKennel(work, QStringLiteral("Kennel.mdb"), 60);
    const QStringList before = test::SnapshotRows(path);
    for (const qint64 k : {1, 2, 20, 39, 40}) {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
        ScriptedPrompts prompts;
        prompts.AnswerMessage(Prompts::Answer::Yes);
        EXPECT_THROW(RunClearAllInbreedingCoefficients(*database, prompts, FailAfter(k)),
                     InjectedFailure)
            << k;
        EXPECT_EQ(test::SnapshotRows(path), before) << k;
        // No success message after a failure.
        EXPECT_EQ(prompts.AllShown().size(), 1u) << k;
    }
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    EXPECT_EQ(ClearAllInbreedingCoefficients(*database, FailAfter(41)).cleared, 40);
}

TEST(ClearCoefficientsCliTest, ClearsReportsAndRefusesBadArguments) {
    test::TempWorkDir work;
    MakeKennel(work, QStringLiteral("Kennel.mdb"), 9);
    test::CliResult run =
        test::RunCliProcess({QStringLiteral("clear-ic"), QStringLiteral("Kennel.mdb")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QByteArray("cleared 6 inbreeding coefficients\n"));
    run = test::RunCliProcess({QStringLiteral("clear-ic"), QStringLiteral("Kennel.mdb")});
    EXPECT_EQ(run.out, QByteArray("no dog has an inbreeding coefficient: nothing to clear\n"));

    work.Write(QStringLiteral("notes.mdb"), "not a database at all");
    for (const QStringList& args :
         {QStringList{QStringLiteral("clear-ic")},
          QStringList{QStringLiteral("clear-ic"), QStringLiteral("--all")},
          QStringList{QStringLiteral("clear-ic"), QStringLiteral("a.mdb"), QStringLiteral("b")},
          QStringList{QStringLiteral("clear-ic"), QStringLiteral("missing.mdb")},
          QStringList{QStringLiteral("clear-ic"), QStringLiteral("notes.mdb")}}) {
        run = test::RunCliProcess(args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(work.Read(QStringLiteral("notes.mdb")), QByteArray("not a database at all"));
}

// Killed at any moment, the command leaves either every coefficient or none.
TEST(ClearCoefficientsCliTest, KilledPartWayLeavesAllOrNothing) {
    test::TempWorkDir work;
    const QString original = MakeKennel(work, QStringLiteral("Original.mdb"), 20000);
    const QStringList before = test::SnapshotRows(original);
    QFile::copy(original, work.File(QStringLiteral("Cleared.mdb")));
    ASSERT_EQ(
        test::RunCliProcess({QStringLiteral("clear-ic"), QStringLiteral("Cleared.mdb")}).status, 0);
    const QStringList cleared = test::SnapshotRows(work.File(QStringLiteral("Cleared.mdb")));
    ASSERT_NE(before, cleared);
    int killed = 0;
    for (int round = 0; round < 6; ++round) {
        const QString copy = work.File(QStringLiteral("Round.mdb"));
        QFile::remove(copy);
        QFile::remove(copy + QStringLiteral("-journal"));
        ASSERT_TRUE(QFile::copy(original, copy));
        if (test::KillCliAfter({QStringLiteral("clear-ic"), QStringLiteral("Round.mdb")},
                               QRandomGenerator::global()->bounded(20, 160))) {
            ++killed;
        }
        {
            // Opening the file as the program does rolls back what the killed process left
            // half-done.
            const std::shared_ptr<DogDatabase> reopened = DogDatabase::Open(copy);
            EXPECT_TRUE(reopened->ReadRow(reopened->MinId()).has_value());
        }
        const QStringList now = test::SnapshotRows(copy);
        EXPECT_TRUE(now == before || now == cleared) << round;
    }
    RecordProperty("killed", killed);
}

TEST(ClearCoefficientsMenuTest, TheMenuCommandClearsAndRefillsTheChart) {
    test::TempWorkDir work;
    const QString db = work.File(QStringLiteral("Kennel.mdb"));
    DogDatabase::Create(db);
    qint32 root = 0;
    {
        RecordStore store(db);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Stonebrook Sire"), true, 0, 0,
                                             {{Field::IC, 0.125}});
        root = test::AddTestDog(store, QStringLiteral("Stonebrook Pup"), true, sire, 0,
                                {{Field::IC, 0.25}});
    }
    AppState state = test::WindowState(work.Path(), db, root);
    ScriptedPrompts prompts;
    const auto opened = test::OpenMainWindow(state, prompts, db, {900, 600});
    MainLinearaForm& window = *opened;
    QAction* addl_ic = window.Menus().Action(QStringLiteral("View_Addl_IC"));
    ASSERT_NE(addl_ic, nullptr);
    addl_ic->trigger();
    EXPECT_EQ(window.Model().At(1).info, QStringLiteral("IC = 25.00%"));

    QAction* clear = window.Menus().Action(QStringLiteral("Analysis_ClearIC"));
    ASSERT_NE(clear, nullptr);
    EXPECT_TRUE(clear->isEnabled());
    prompts.AnswerMessage(Prompts::Answer::Yes);
    clear->trigger();
    EXPECT_EQ(prompts.MessageTitles(),
              QStringList({"Clear Inbreeding Coefficients", "Inbreeding Coefficients Cleared"}));
    EXPECT_TRUE(window.Model().At(1).info.isEmpty());
    EXPECT_TRUE(window.Model().At(2).info.isEmpty());
    EXPECT_EQ(StoredCoefficients(db), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.close();
}

}  // namespace
}  // namespace lineara
