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

// Yes shows the existing dog instead, Cancel closes the editor; both delete the record being
// edited, and when that was an existing dog, no record is left naming it as a parent.
TEST_F(DuplicateNameTest, YesOrCancelDeletesTheEditedDogWithEveryReferenceToIt) {
    for (const bool is_new : {true, false}) {
        for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
            SCOPED_TRACE(is_new ? "new dog" : "existing dog");
            prompts_.Clear();
            const qint32 grandsire = test::AddTestDog(search_, QStringLiteral("Old Sire"));
            const qint32 edited = test::AddTestDog(
                search_, is_new ? QString() : QStringLiteral("Copy Of Misty"), true, grandsire);
            const qint32 son = test::AddTestDog(search_, QStringLiteral("Son"), true, edited);
            const qint32 own =
                test::AddTestDog(search_, QStringLiteral("Own Pup"), false, edited, edited);
            state_.SelectedDogID = edited;
            prompts_.AnswerMessage(answer);

            const DuplicateOutcome outcome =
                Check(edited, is_new, QStringLiteral("  misty MORNING "));
            ExpectTheQuestion();
            EXPECT_EQ(outcome.kind, answer == Answer::Yes ? DuplicateOutcome::EditExisting
                                                          : DuplicateOutcome::DeletedAndClosed);
            EXPECT_EQ(outcome.existing_id, existing_);
            EXPECT_EQ(state_.SelectedDogID, answer == Answer::Yes ? existing_ : 0);
            EXPECT_FALSE(Exists(edited));
            EXPECT_TRUE(Exists(existing_));
            EXPECT_TRUE(Exists(grandsire));
            if (!is_new) {
                EXPECT_EQ(Long(son, Field::SireID), 0);
                EXPECT_EQ(Long(own, Field::SireID), 0);
                EXPECT_EQ(Long(own, Field::DamID), 0);
            }
        }
    }
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

// No goes back to editing. The record being edited may be the first of several with the
// name: the others still count.
TEST_F(DuplicateNameTest, NoKeepsEditingAndAnotherDogAfterTheEditedOneIsFound) {
    const qint32 later = test::AddTestDog(search_, QStringLiteral("MISTY MORNING"));
    state_.SelectedDogID = existing_;
    prompts_.AnswerMessage(Answer::No);
    const DuplicateOutcome outcome = Check(existing_, false, QStringLiteral("Misty Morning"));
    ExpectTheQuestion();
    EXPECT_EQ(outcome.kind, DuplicateOutcome::KeepEditing);
    EXPECT_EQ(outcome.existing_id, later);
    EXPECT_EQ(state_.SelectedDogID, existing_);
    EXPECT_TRUE(Exists(existing_));
}

}  // namespace
}  // namespace lineara
