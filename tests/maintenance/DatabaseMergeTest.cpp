#include "maintenance/DatabaseMerge.h"
#include "maintenance/DuplicateKey.h"
#include "maintenance/RecordFold.h"
#include "store/DogDatabase.h"
#include "store/RecordStore.h"
#include "store/StoreError.h"
#include "support/OldLayouts.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <sqlite3.h>

namespace lineara {
namespace {

using test::AddTestDog;
using Answer = Prompts::Answer;

TEST(DuplicateKey, KeepsOnlyTheListedConsonantsAfterCollapsingRuns) {
    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("Bobby's Golden Boy"), QStringLiteral("BBGLDNB")},
        {QStringLiteral("  rex  "), QStringLiteral("RX")},
        {QStringLiteral("Annie"), QStringLiteral("N")},
        {QStringLiteral("Anny"), QStringLiteral("N")},
        {QStringLiteral("NaN"), QStringLiteral("NN")},
        {QStringLiteral("123"), QString()},
        {QStringLiteral("Ayes"), QString()},
        {QStringLiteral("Müller"), QStringLiteral("MLR")},
    };
    for (const auto& [name, key] : cases) {
        EXPECT_EQ(DuplicateKey(name), key) << name.toStdString();
    }
    EXPECT_TRUE(DuplicateKey(QVariant()).isEmpty());
}

class MergeTest : public ::testing::Test {
protected:
    MergeTest() {
        test::CreateDatabase(path_);
        store_.Open(path_);
    }

    MaintenanceCounts Run(const QString& other = QString(), bool with_prompts = true) {
        MaintenanceHooks hooks;
        hooks.prompts = with_prompts ? &prompts_ : nullptr;
        hooks.show_merged = [this](qint32 id) { edited_.push_back(id); };
        return RunMergeDriver(store_.Database(), other, hooks);
    }
    std::optional<DogRecord> Row(qint32 id) { return store_.Database().ReadRow(id); }
    qint64 Count() { return store_.Database().CountRows(); }
    QStringList Questions() const { return prompts_.MessageTitles(); }

    test::TempWorkDir work_;
    QString path_ = work_.File(QStringLiteral("Kennel.mdb"));
    RecordStore store_;
    test::ScriptedPrompts prompts_;
    std::vector<qint32> edited_;
};

TEST_F(MergeTest, DescriptionsNameTheParentsAsStored) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Big Sire "));
    const qint32 dam = AddTestDog(store_, QStringLiteral("Dam"), false);
    const qint32 none = AddTestDog(store_, QStringLiteral("  Pup  "));
    const qint32 by = AddTestDog(store_, QStringLiteral("Pup"), true, sire);
    const qint32 out = AddTestDog(store_, QStringLiteral("Pup"), true, 0, dam);
    const qint32 both = AddTestDog(store_, QStringLiteral("Pup"), true, sire, dam);
    const qint32 stray = AddTestDog(store_, QStringLiteral("Pup"), true, 999);
    DogDatabase& db = store_.Database();
    EXPECT_EQ(DuplicateDescription(db, *Row(none)), QStringLiteral("Pup"));
    EXPECT_EQ(DuplicateDescription(db, *Row(by)), QStringLiteral("Pup (by Big Sire )"));
    EXPECT_EQ(DuplicateDescription(db, *Row(out)), QStringLiteral("Pup (out of Dam)"));
    EXPECT_EQ(DuplicateDescription(db, *Row(both)),
              QStringLiteral("Pup (by Big Sire , out of Dam)"));
    EXPECT_EQ(DuplicateDescription(db, *Row(stray)), QStringLiteral("Pup"));
}

TEST(RecordFold, EachKindOfFieldFollowsItsRule) {
    DogRecord kept;
    DogRecord other;
    kept.SetValue(Field::DogID, 5);
    other.SetValue(Field::DogID, 9);
    kept.SetValue(Field::RegName, QStringLiteral("Rex"));
    other.SetValue(Field::RegName, QStringLiteral("REX"));
    kept.SetValue(Field::SireID, 0);
    other.SetValue(Field::SireID, 7);
    kept.SetValue(Field::DamID, 3);
    other.SetValue(Field::DamID, 8);
    kept.SetValue(Field::Description, QStringLiteral("red"));
    other.SetValue(Field::Description, QStringLiteral(" white "));
    other.SetValue(Field::OtherCh, QStringLiteral("Int"));
    kept.SetValue(Field::Comments, QStringLiteral("calm"));
    other.SetValue(Field::Comments, QStringLiteral("fast"));
    other.SetValue(Field::PrintNotes, QStringLiteral("notes"));
    kept.SetValue(Field::CallName, QStringLiteral("   "));
    other.SetValue(Field::CallName, QStringLiteral("Rexy"));
    kept.SetValue(Field::AKCID, QStringLiteral("A1"));
    other.SetValue(Field::AKCID, QStringLiteral("A2"));
    other.SetValue(Field::DOB, QDate(2020, 1, 2));
    kept.SetValue(Field::IC, 0.25);
    other.SetValue(Field::IC, 0.5);
    kept.SetValue(Field::AmCh, false);
    other.SetValue(Field::AmCh, true);
    kept.SetValue(Field::CanCh, true);
    kept.SetValue(Field::SexMale, true);
    other.SetValue(Field::SexMale, false);
    other.SetValue(Field::Altered, true);

    const DogRecord folded = FoldRecords(kept, other);
    EXPECT_EQ(folded.DogID(), 5);
    EXPECT_EQ(folded.Text(Field::RegName), QStringLiteral("Rex"));
    EXPECT_EQ(folded.Long(Field::SireID), 7);  // taken only when 0
    EXPECT_EQ(folded.Long(Field::DamID), 3);
    EXPECT_EQ(folded.Text(Field::Description), QStringLiteral("red  white"));
    EXPECT_EQ(folded.Text(Field::OtherCh), QStringLiteral("Int"));
    EXPECT_EQ(folded.Text(Field::Comments), QStringLiteral("calm     fast"));
    EXPECT_EQ(folded.Text(Field::PrintNotes), QStringLiteral("notes"));  // Null taken
    EXPECT_EQ(folded.Text(Field::CallName), QStringLiteral("Rexy"));     // blank taken
    EXPECT_EQ(folded.Text(Field::AKCID), QStringLiteral("A1"));
    EXPECT_EQ(folded.Date(Field::DOB), QDate(2020, 1, 2));
    EXPECT_EQ(folded.Value(Field::IC).toDouble(), 0.25);
    EXPECT_TRUE(folded.Flag(Field::AmCh));
    EXPECT_TRUE(folded.Flag(Field::CanCh));
    EXPECT_TRUE(folded.Flag(Field::Altered));
    EXPECT_TRUE(folded.Flag(Field::SexMale));
    EXPECT_TRUE(folded.IsNull(Field::Certifications));  // both empty stays Null

    // A join longer than the column is cut to fit instead of failing the clean-up.
    kept.SetValue(Field::Description, QString(200, QLatin1Char('a')));
    other.SetValue(Field::Description, QString(200, QLatin1Char('b')));
    EXPECT_EQ(FoldRecords(kept, other).Text(Field::Description).size(),
              MaxLengthOf(Field::Description));
}

TEST_F(MergeTest, AutomaticCleanUpFoldsIdenticalAndSameNamesAndLeavesSimilarOnes) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    const qint32 dam = AddTestDog(store_, QStringLiteral("Dam"), false);
    const qint32 rex1 =
        AddTestDog(store_, QStringLiteral("Rex"), true, sire, dam, {{Field::AmCh, true}});
    const qint32 rex2 =
        AddTestDog(store_, QStringLiteral("Rex"), true, sire, dam, {{Field::CanCh, true}});
    const qint32 pup = AddTestDog(store_, QStringLiteral("Pup"), true, rex2);
    const qint32 short_name = AddTestDog(store_, QStringLiteral("BEN"));
    const qint32 long_name = AddTestDog(store_, QStringLiteral("Ben"), true, sire);
    const qint32 annie = AddTestDog(store_, QStringLiteral("Annie"), false);
    const qint32 anny = AddTestDog(store_, QStringLiteral("Anny"), false);
    const qint32 digits = AddTestDog(store_, QStringLiteral("123"));
    const qint32 ayes = AddTestDog(store_, QStringLiteral("Ayes"));

    const MaintenanceCounts counts = Run(QString(), false);
    EXPECT_EQ(counts.merged, 2);
    EXPECT_EQ(counts.deleted, 2);
    EXPECT_TRUE(Row(rex1) && Row(rex1)->Flag(Field::AmCh) && Row(rex1)->Flag(Field::CanCh));
    EXPECT_FALSE(Row(rex2));
    EXPECT_EQ(Row(pup)->Long(Field::SireID), rex1);
    // The longer description is kept.
    EXPECT_FALSE(Row(short_name));
    EXPECT_TRUE(Row(long_name));
    for (const qint32 id : {annie, anny, digits, ayes}) {
        EXPECT_TRUE(Row(id)) << id;
    }
    EXPECT_EQ(Row(annie)->Text(Field::SystemUseText), QStringLiteral("N"));
    EXPECT_TRUE(Row(digits)->IsNull(Field::SystemUseText));
    EXPECT_EQ(Row(annie)->Long(Field::SystemUseLongInt), 0);
    EXPECT_TRUE(prompts_.AllShown().empty());
}

// Numbered dogs all share one key. Without questions only their equal names fold, and the
// clean-up must get there without comparing every pair the slow way.
TEST_F(MergeTest, AutomaticCleanUpOfThousandsOfNumberedDogs) {
    std::vector<qint32> cows;
    for (int i = 1; i <= 3000; ++i) {
        cows.push_back(AddTestDog(store_, QStringLiteral("Cow %1").arg(i), false));
    }
    const qint32 again = AddTestDog(store_, QStringLiteral("COW 17"), false, cows[0]);
    QElapsedTimer timer;
    timer.start();
    const MaintenanceCounts counts = Run(QString(), false);
    EXPECT_LT(timer.elapsed(), 60'000);
    EXPECT_EQ(counts.merged, 1);
    EXPECT_EQ(Count(), 3000);
    EXPECT_TRUE(Row(again));  // the longer description is kept
    EXPECT_FALSE(Row(cows[16]));
    EXPECT_TRUE(Row(cows[15]) && Row(cows[17]));
}

TEST_F(MergeTest, InteractiveIdenticalPairIsMergedThenShownInTheEditor) {
    const qint32 rex1 = AddTestDog(store_, QStringLiteral("Rex"));
    AddTestDog(store_, QStringLiteral("Rex"));
    AddTestDog(store_, QStringLiteral("123"));
    AddTestDog(store_, QStringLiteral("Ayes"));
    prompts_.AnswerMessage(Answer::Yes);  // interactive
    const MaintenanceCounts counts = Run();
    EXPECT_EQ(counts.merged, 1);
    EXPECT_EQ(Questions(), (QStringList{QStringLiteral("Eliminate Duplicates: Interactive?"),
                                        QStringLiteral("Two records merged")}));
    EXPECT_EQ(edited_, std::vector<qint32>{rex1});
    EXPECT_EQ(Count(), 3);
}

TEST_F(MergeTest, InteractiveQuestionsAndTheirAnswers) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    const qint32 rex_short = AddTestDog(store_, QStringLiteral("REX"));
    const qint32 rex_long = AddTestDog(store_, QStringLiteral("Rex"), true, sire);
    const qint32 annie = AddTestDog(store_, QStringLiteral("Annie"), false);
    const qint32 anny = AddTestDog(store_, QStringLiteral("Anny"), false, sire);
    const qint32 bob = AddTestDog(store_, QStringLiteral("Bob"));
    const qint32 bobb = AddTestDog(store_, QStringLiteral("Bobb"), true, sire);
    prompts_.AnswerMessage(Answer::Yes);     // interactive
    prompts_.AnswerMessage(Answer::Yes);     // Same Name REX / Rex
    prompts_.AnswerMessage(Answer::No);      // keep REX after all (exchanged back)
    prompts_.AnswerMessage(Answer::Yes);     // Similar Name Annie / Anny
    prompts_.AnswerMessage(Answer::Cancel);  // Choose Record to Keep: nothing merged
    prompts_.AnswerMessage(Answer::No);      // Similar Name Bob / Bobb: not the same dog
    const MaintenanceCounts counts = Run();
    EXPECT_TRUE(prompts_.ScriptUsedUp());
    EXPECT_EQ(Questions(),
              (QStringList{QStringLiteral("Eliminate Duplicates: Interactive?"),
                           QStringLiteral("Same Name"), QStringLiteral("Choose Record to Keep"),
                           QStringLiteral("Similar Name"), QStringLiteral("Choose Record to Keep"),
                           QStringLiteral("Similar Name")}));
    const auto& shown = prompts_.AllShown();
    EXPECT_EQ(shown[1].text,
              QStringLiteral("The following two matching names were found.  Delete one duplicate?"
                             "\r\rREX\r\rRex (by Sire)\r"));
    EXPECT_EQ(shown[1].buttons, Prompts::Buttons::YesNo);
    // The longer description comes first.
    EXPECT_EQ(shown[2].text,
              QStringLiteral("Keep the first of these two entries, and delete the second?"
                             "\r\rRex (by Sire)\r\rREX\r"));
    EXPECT_EQ(shown[2].buttons, Prompts::Buttons::YesNoCancel);
    EXPECT_EQ(shown[3].text,
              QStringLiteral("Do the following two names refer to the same dog?\r\rAnnie\r\r"
                             "Anny (by Sire)\r\r(If you are unsure, choose No)"));
    EXPECT_EQ(counts.merged, 1);
    ASSERT_TRUE(Row(rex_short));
    EXPECT_EQ(Row(rex_short)->Long(Field::SireID), sire);  // took the removed record's sire
    EXPECT_FALSE(Row(rex_long));
    EXPECT_TRUE(Row(annie) && Row(anny) && Row(bob) && Row(bobb));
    EXPECT_TRUE(edited_.empty());
}

// After a merge, the search goes on from B with the record that was kept.
TEST_F(MergeTest, ComparisonContinuesWithTheKeptRecord) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    AddTestDog(store_, QStringLiteral("Max"));
    const qint32 kept = AddTestDog(store_, QStringLiteral("MAX"), true, sire);
    AddTestDog(store_, QStringLiteral("Maxx"));
    prompts_.AnswerMessage(Answer::Yes);  // interactive
    prompts_.AnswerMessage(Answer::Yes);  // Same Name
    prompts_.AnswerMessage(Answer::Yes);  // keep MAX (by Sire)
    prompts_.AnswerMessage(Answer::No);   // Similar Name Maxx
    Run();
    EXPECT_TRUE(prompts_.ScriptUsedUp());
    ASSERT_EQ(prompts_.AllShown().size(), 4u);
    EXPECT_EQ(prompts_.AllShown()[3].title, QStringLiteral("Similar Name"));
    EXPECT_TRUE(
        prompts_.AllShown()[3].text.contains(QStringLiteral("\r\rMAX (by Sire)\r\rMaxx\r\r")));
    EXPECT_EQ(Count(), 3);
    EXPECT_TRUE(Row(kept));
}

TEST_F(MergeTest, MergeCopiesAndRepointsParentsOfTheOtherFile) {
    const qint32 mine = AddTestDog(store_, QStringLiteral("Mine"));
    const QString other_path = work_.File(QStringLiteral("Other.mdb"));
    test::CreateDatabase(other_path);
    {
        RecordStore other(other_path);
        const qint32 sire = AddTestDog(other, QStringLiteral("Zeus"));
        AddTestDog(other, QStringLiteral("Hera"), false);
        AddTestDog(other, QStringLiteral("Pup"), true, sire, 77,
                   {{Field::Description, QStringLiteral("tan")}});
    }
    const QStringList other_before = test::SnapshotRows(other_path);
    const MaintenanceCounts counts = Run(other_path, false);
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.merged, 0);
    EXPECT_EQ(test::SnapshotRows(other_path), other_before);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(Row(mine)->Text(Field::RegName), QStringLiteral("Mine"));
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Zeus")));
    const qint32 zeus = store_.DogID();
    EXPECT_GT(zeus, mine);
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Pup")));
    EXPECT_EQ(store_.Long(Field::SireID), zeus);
    EXPECT_EQ(store_.Long(Field::DamID), 0);  // the other file did not hold dog 77
    EXPECT_EQ(store_.Text(Field::Description), QStringLiteral("tan"));
    EXPECT_EQ(store_.Long(Field::SystemUseLongInt), 0);
}

TEST_F(MergeTest, MergingAFileIntoItselfDoublesThenFoldsEveryPair) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    const qint32 dam = AddTestDog(store_, QStringLiteral("Dam"), false);
    AddTestDog(store_, QStringLiteral("Pup"), true, sire, dam,
               {{Field::Comments, QStringLiteral("x")}});
    const MaintenanceCounts counts = Run(path_, false);
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.merged, 3);
    EXPECT_EQ(Count(), 3);
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Pup")));
    EXPECT_EQ(store_.Long(Field::SireID), sire);
    EXPECT_EQ(store_.Long(Field::DamID), dam);
    EXPECT_EQ(store_.Text(Field::Comments), QStringLiteral("x     x"));
}

TEST_F(MergeTest, ColumnsAreCopiedByNameWhateverTheOtherLayout) {
    // Columns in another order, with one unknown and most missing.
    const QString odd = work_.File(QStringLiteral("Odd.mdb"));
    {
        sqlite::Connection c(odd, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        c.Execute(
            "PRAGMA application_id=1280201281; PRAGMA user_version=2;"
            "CREATE TABLE DogInfo (RegName TEXT, Extra TEXT, DamID INTEGER, DogID INTEGER PRIMARY "
            "KEY,"
            " SireID INTEGER, AmCh INTEGER);"
            "INSERT INTO DogInfo VALUES ('Ace', 'z', 0, 10, 11, -1), ('Bo', NULL, 0, 11, 0, 0);");
    }
    const QString old = work_.File(QStringLiteral("Old.mdb"));
    test::CreateLayout1Database(
        old, {{QStringLiteral("Cleo"), false, 0, 0}, {QStringLiteral("Dex"), true, 1, 0}});
    const QStringList old_before = test::SnapshotRows(old);
    Run(odd, false);
    Run(old, false);
    EXPECT_EQ(test::SnapshotRows(old), old_before);
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Ace")));
    EXPECT_TRUE(store_.Flag(Field::AmCh));
    const qint32 ace_sire = store_.Long(Field::SireID);
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Bo")));
    EXPECT_EQ(ace_sire, store_.DogID());
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Dex")));
    const qint32 dex_sire = store_.Long(Field::SireID);
    store_.FindFirst(Criterion::ByRegName(QStringLiteral("Cleo")));
    EXPECT_EQ(dex_sire, store_.DogID());
    EXPECT_EQ(Count(), 4);
}

TEST_F(MergeTest, AFileThatIsNotOursIsRefusedAndNothingChanges) {
    AddTestDog(store_, QStringLiteral("Rex"));
    AddTestDog(store_, QStringLiteral("Rex"));
    const QStringList before = test::SnapshotRows(path_);
    const QString text =
        work_.Write(QStringLiteral("notes.mdb"), "just some text, not a database at all\n");
    const QString foreign = work_.File(QStringLiteral("foreign.mdb"));
    {
        sqlite::Connection c(foreign, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        c.Execute("CREATE TABLE DogInfo (DogID INTEGER PRIMARY KEY, RegName TEXT);");
    }
    for (const QString& bad : {text, foreign, work_.File(QStringLiteral("missing.mdb"))}) {
        try {
            Run(bad, false);
            ADD_FAILURE() << "accepted " << bad.toStdString();
        } catch (const StoreError& error) {
            EXPECT_EQ(error.File(), bad);
            EXPECT_FALSE(error.Reason().isEmpty());
        }
        EXPECT_EQ(test::SnapshotRows(path_), before);
    }
}

// A failure at any record of any pass leaves every row as it was.
TEST_F(MergeTest, InjectedFailuresLeaveEveryRowAsItWas) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    for (int k = 0; k < 6; ++k) {
        AddTestDog(store_, QStringLiteral("Dog %1").arg(k % 3), true, sire, 0,
                   {{Field::SystemUseLongInt, k}});
    }
    const QString other_path = work_.File(QStringLiteral("Other.mdb"));
    test::CreateDatabase(other_path);
    {
        RecordStore other(other_path);
        const qint32 s = AddTestDog(other, QStringLiteral("Sire"));
        for (int k = 0; k < 4; ++k) {
            AddTestDog(other, QStringLiteral("Dog %1").arg(k), true, s);
        }
    }
    const QStringList before = test::SnapshotRows(path_);
    int failures = 0;
    for (qint64 k = 1;; ++k) {
        FailAfter fail(k);
        MaintenanceHooks hooks;
        hooks.fail_after = &fail;
        try {
            RunMergeDriver(store_.Database(), other_path, hooks);
            break;  // got through every step
        } catch (const InjectedFailure&) {
            ++failures;
        }
        ASSERT_EQ(test::SnapshotRows(path_), before) << "failure at step " << k;
        store_.Refresh();
    }
    EXPECT_GT(failures, 20);  // pass 1, 5 copies, 5 parents, 12 keys, merges, the deletion
    EXPECT_NE(test::SnapshotRows(path_), before);
}

}  // namespace
}  // namespace lineara
