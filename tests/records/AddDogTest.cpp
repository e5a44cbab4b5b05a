#include "records/AddDog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

class AddDogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString path = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(path);
        store_.Open(path);
        existing_ = test::AddTestDog(store_, QStringLiteral("Existing Dog"));
    }

    // An editor that writes the given name (or nothing) into the record it is opened on.
    OpenDogEditor EditorNaming(const QString& name) {
        return [this, name](bool cancel_visible) {
            EXPECT_TRUE(cancel_visible);
            RecordStore editor(store_.Path());
            editor.FindFirst(Criterion::ById(state_.SelectedDogID));
            ASSERT_FALSE(editor.NoMatch());
            editor_saw_male_ = editor.Flag(Field::SexMale);
            if (!name.isNull()) {
                editor.Edit();
                editor.SetValue(Field::RegName, name);
                editor.Update();
            }
        };
    }

    qint64 Count() {
        store_.MoveLast();
        return store_.RecordCount();
    }

    test::TempWorkDir work_;
    RecordStore store_;
    AppState state_;
    test::ScriptedPrompts prompts_;
    qint32 existing_ = 0;
    bool editor_saw_male_ = false;
};

TEST_F(AddDogTest, ANamedDogIsKeptAndHandedBack) {
    state_.SexHint = 1;
    AddDog(store_, state_, prompts_, EditorNaming(QStringLiteral("New Pup")));
    EXPECT_GT(state_.SelectedDogID, existing_);
    EXPECT_TRUE(editor_saw_male_);
    EXPECT_TRUE(prompts_.AllShown().empty());
    store_.FindFirst(Criterion::ById(state_.SelectedDogID));
    EXPECT_EQ(store_.Text(Field::RegName), "New Pup");
    EXPECT_EQ(Count(), 2);
}

TEST_F(AddDogTest, ADogLeftWithoutANameIsDiscardedWithTheMessage) {
    for (qint16 hint : {0, -1}) {
        prompts_.Clear();
        state_.SexHint = hint;
        AddDog(store_, state_, prompts_, EditorNaming(QString()));
        EXPECT_FALSE(editor_saw_male_);
        EXPECT_EQ(state_.SelectedDogID, 0);
        ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Dog not added"});
        EXPECT_EQ(prompts_.LastMessage()->text,
                  "No registered name was entered.  The dog information was not entered into the database");
        EXPECT_EQ(Count(), 1);
    }
}

TEST_F(AddDogTest, ARecordTheEditorAlreadyRemovedLeavesOtherDogsAlone) {
    // The first dog of the table has no name: the check must not mistake it for the new one.
    store_.FindFirst(Criterion::ById(existing_));
    store_.Edit();
    store_.SetValue(Field::RegName, QVariant());
    store_.Update();

    AddDog(store_, state_, prompts_, [this](bool) {
        RecordStore editor(store_.Path());
        editor.FindFirst(Criterion::ById(state_.SelectedDogID));
        editor.Delete();
        state_.SelectedDogID = 0;
    });
    EXPECT_TRUE(prompts_.AllShown().empty());
    EXPECT_EQ(Count(), 1);
    store_.FindFirst(Criterion::ById(existing_));
    EXPECT_FALSE(store_.NoMatch());
}

}  // namespace
}  // namespace lineara
