#include "records/DuplicateName.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

using Answer = Prompts::Answer;

class DuplicateNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString path = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path);
        search_.Open(path);
        existing_ = test::AddTestDog(search_, QStringLiteral("Misty Morning"));
    }

    DuplicateOutcome Check(qint32 editing, bool is_new, const QString& typed) {
        return CheckDuplicateName(search_, editing, is_new, typed, prompts_, state_);
    }

    bool Exists(qint32 id) {
        search_.FindFirst(Criterion::ById(id));
        return !search_.NoMatch();
    }

    qint32 Long(qint32 id, Field field) {
        search_.FindFirst(Criterion::ById(id));
        return search_.Long(field);
    }

    void ExpectTheQuestion() {
        ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Duplicate Name"});
        EXPECT_EQ(prompts_.LastMessage()->text,
                  "Another dog with this same name is already in the database.  Would you like "
                  "to edit the existing record? (click Yes to edit the other existing record, No "
                  "to go back to editing the current record, or Cancel to delete the current "
                  "record and exit)");
        EXPECT_EQ(prompts_.LastMessage()->buttons, Prompts::Buttons::YesNoCancel);
    }

    test::TempWorkDir work_;
    RecordStore search_;
    test::ScriptedPrompts prompts_;
    AppState state_;
    qint32 existing_ = 0;
};

// Yes shows the existing dog instead, Cancel closes the editor; both drop the new record.
TEST_F(DuplicateNameTest, NewDogAnsweredYesOrCancelIsDeleted) {
    for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
        prompts_.Clear();
        const qint32 fresh = test::AddTestDog(search_, QString());
        state_.SelectedDogID = fresh;
        prompts_.AnswerMessage(answer);
        const DuplicateOutcome outcome = Check(fresh, true, QStringLiteral("  misty MORNING "));
        ExpectTheQuestion();
        EXPECT_EQ(outcome.kind, answer == Answer::Yes ? DuplicateOutcome::EditExisting
                                                      : DuplicateOutcome::DeletedAndClosed);
        EXPECT_EQ(outcome.existing_id, existing_);
        EXPECT_EQ(state_.SelectedDogID, answer == Answer::Yes ? existing_ : 0);
        EXPECT_FALSE(Exists(fresh));
        EXPECT_TRUE(Exists(existing_));
    }
}

// Deleting an existing dog through either answer leaves no record naming it as a parent.
TEST_F(DuplicateNameTest, ExistingDogDeletedWithEveryReferenceCleared) {
    for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
        prompts_.Clear();
        const qint32 grandsire = test::AddTestDog(search_, QStringLiteral("Old Sire"));
        const qint32 edited =
            test::AddTestDog(search_, QStringLiteral("Copy Of Misty"), true, grandsire);
        const qint32 son = test::AddTestDog(search_, QStringLiteral("Son"), true, edited);
        const qint32 daughter =
            test::AddTestDog(search_, QStringLiteral("Daughter"), false, 0, edited);
        const qint32 own =
            test::AddTestDog(search_, QStringLiteral("Own Pup"), true, edited, edited);
        state_.SelectedDogID = edited;
        prompts_.AnswerMessage(answer);

        const DuplicateOutcome outcome = Check(edited, false, QStringLiteral("MISTY MORNING"));
        ExpectTheQuestion();
        EXPECT_EQ(outcome.kind, answer == Answer::Yes ? DuplicateOutcome::EditExisting
                                                      : DuplicateOutcome::DeletedAndClosed);
        EXPECT_EQ(state_.SelectedDogID, answer == Answer::Yes ? existing_ : 0);
        EXPECT_FALSE(Exists(edited));
        EXPECT_EQ(Long(son, Field::SireID), 0);
        EXPECT_EQ(Long(daughter, Field::DamID), 0);
        EXPECT_EQ(Long(own, Field::SireID), 0);
        EXPECT_EQ(Long(own, Field::DamID), 0);
        EXPECT_TRUE(Exists(grandsire));
    }
}

TEST_F(DuplicateNameTest, NoKeepsEditingAndChangesNothing) {
    const qint32 fresh = test::AddTestDog(search_, QString());
    state_.SelectedDogID = fresh;
    prompts_.AnswerMessage(Answer::No);
    const DuplicateOutcome outcome = Check(fresh, true, QStringLiteral("Misty Morning"));
    EXPECT_EQ(outcome.kind, DuplicateOutcome::KeepEditing);
    EXPECT_EQ(state_.SelectedDogID, fresh);
    EXPECT_TRUE(Exists(fresh));
}

TEST_F(DuplicateNameTest, OwnNameOrNoNameAsksNothing) {
    const qint32 other = test::AddTestDog(search_, QStringLiteral("Stormy Weather"));
    for (const char* typed : {"Misty Morning", "misty morning", "", "   "}) {
        EXPECT_EQ(Check(existing_, false, QString::fromUtf8(typed)).kind,
                  DuplicateOutcome::NoDuplicate);
    }
    EXPECT_EQ(Check(other, false, QStringLiteral("Stormy")).kind, DuplicateOutcome::NoDuplicate);
    EXPECT_TRUE(prompts_.AllShown().empty());
}

// The record being edited may be the first of several with the name: the others still count.
TEST_F(DuplicateNameTest, AnotherDogOfTheSameNameAfterTheEditedOneIsFound) {
    const qint32 later = test::AddTestDog(search_, QStringLiteral("MISTY MORNING"));
    prompts_.AnswerMessage(Answer::No);
    const DuplicateOutcome outcome = Check(existing_, false, QStringLiteral("Misty Morning"));
    ExpectTheQuestion();
    EXPECT_EQ(outcome.existing_id, later);
}

}  // namespace
}  // namespace lineara
