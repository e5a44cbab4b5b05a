#include "records/ChartActions.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace lineara {
namespace {

using Answer = Prompts::Answer;

// The find dialog and the dog editor, answering from a script and remembering how they were
// opened.
class FakeDialogs : public DogDialogs {
public:
    explicit FakeDialogs(AppState& state) : state_(state) {}

    struct Find {
        FindDogRequest request;
        qint16 sex_hint;
    };

    void FindDog(const FindDogRequest& request) override {
        finds.push_back({request, state_.SexHint});
        state_.SelectedDogID = 0;
        if (!answers.empty()) {
            state_.SelectedDogID = answers.front();
            answers.pop_front();
        }
    }
    void EditDog(bool cancel_visible) override {
        edits.push_back(cancel_visible);
        if (editor) {
            editor();
        }
    }

    std::deque<qint32> answers;
    std::vector<Find> finds;
    std::vector<bool> edits;
    std::function<void()> editor;

private:
    AppState& state_;
};

class ChartActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        store_.Open(path_);
        grandsire_ = Add("Grand Sire", true);
        sire_ = Add("Sire Dog ", true, grandsire_);
        dam_ = Add("Dam Dog", false);
        root_ = Add("Root Dog", true, sire_, dam_);
        other_male_sire_ = Add("Other Sire", true);
        other_male_ = Add("Other Male", true, other_male_sire_);
        other_female_ = Add("Other Female", false);
        view_.num_gens = 3;
        state_.settings.RootDogID = root_;
        Fill();
        refills_ = 0;
    }

    qint32 Add(const char* name, bool male, qint32 sire = 0, qint32 dam = 0) {
        return test::AddTestDog(store_, QString::fromUtf8(name), male, sire, dam);
    }

    void Fill() {
        ++refills_;
        model_.FillChart(store_, state_.settings.RootDogID, view_);
    }

    qint32 Long(qint32 id, Field field) {
        RecordStore reader(path_);
        reader.FindFirst(Criterion::ById(id));
        EXPECT_FALSE(reader.NoMatch());
        return reader.Long(field);
    }

    bool Exists(qint32 id) {
        RecordStore reader(path_);
        reader.FindFirst(Criterion::ById(id));
        return !reader.NoMatch();
    }

    qint64 Count() {
        store_.MoveLast();
        return store_.RecordCount();
    }

    // An editor that names the record it is opened on (or leaves it without a name).
    void EditorNaming(const QString& name) {
        dialogs_.editor = [this, name] {
            editor_sex_hint_ = state_.SexHint;
            if (name.isNull()) {
                return;
            }
            RecordStore editor(path_);
            editor.FindFirst(Criterion::ById(state_.SelectedDogID));
            editor.Edit();
            editor.SetValue(Field::RegName, name);
            editor.Update();
        };
    }

    test::TempWorkDir work_;
    QString path_;
    RecordStore store_;
    AppState state_;
    test::ScriptedPrompts prompts_;
    FakeDialogs dialogs_{state_};
    ChartModel model_;
    ViewState view_;
    int refills_ = 0;
    qint16 editor_sex_hint_ = -2;
    ChartActions actions_{store_, state_, prompts_, dialogs_, model_, [this] { Fill(); }};

    qint32 grandsire_ = 0, sire_ = 0, dam_ = 0, root_ = 0;
    qint32 other_male_sire_ = 0, other_male_ = 0, other_female_ = 0;
};

TEST(DecideClick, FollowsWhoStandsInThePlaceAndItsChild) {
    ChartModel model;
    EXPECT_EQ(DecideClick(model, 1, false), ClickResult::Place);  // a database without dogs
    EXPECT_EQ(DecideClick(model, 1, true), ClickResult::Place);
    ChartEntry entry;
    entry.dog = 10;
    model.SetEntry(1, entry);
    entry.dog = 11;
    model.SetEntry(2, entry);
    const struct {
        int position;
        bool right;
        ClickResult result;
    } cases[] = {
        {1, false, ClickResult::Place},  {1, true, ClickResult::ShowPopup},
        {2, false, ClickResult::Place},  {2, true, ClickResult::ShowPopup},
        {3, false, ClickResult::Place},  {3, true, ClickResult::Place},  // empty, child 1 a dog
        {4, true, ClickResult::Place},   {5, false, ClickResult::Place},
        {6, false, ClickResult::Beep},   {7, true, ClickResult::Beep},  // child 3 is empty
        {0, false, ClickResult::Beep},   {128, false, ClickResult::Beep},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(DecideClick(model, c.position, c.right), c.result);
    }
}

TEST_F(ChartActionsTest, PlacingASireOrADamSetsThatParentAndBringsItsAncestry) {
    actions_.PlaceDog(2);  // nothing chosen: nothing changes
    EXPECT_EQ(Long(root_, Field::SireID), sire_);
    EXPECT_EQ(refills_, 0);

    dialogs_.answers = {other_male_};
    actions_.PlaceDog(2);
    ASSERT_EQ(dialogs_.finds.size(), 2u);
    EXPECT_EQ(dialogs_.finds[1].request.caption, "Place Dog");
    EXPECT_EQ(dialogs_.finds[1].request.instruction,
              "Click on a dog's name place it in the selected location");
    EXPECT_TRUE(dialogs_.finds[1].request.add_visible);
    EXPECT_EQ(dialogs_.finds[1].sex_hint, 1);
    EXPECT_EQ(Long(root_, Field::SireID), other_male_);
    EXPECT_EQ(Long(root_, Field::DamID), dam_);
    EXPECT_EQ(refills_, 1);
    EXPECT_EQ(model_.DogAt(2), other_male_);
    EXPECT_EQ(model_.DogAt(4), other_male_sire_);
    EXPECT_TRUE(Exists(sire_));

    dialogs_.answers = {other_female_};
    actions_.PlaceDog(5);  // the dam of the sire now at place 2
    EXPECT_EQ(dialogs_.finds[2].sex_hint, 0);
    EXPECT_EQ(Long(other_male_, Field::DamID), other_female_);
    EXPECT_EQ(Long(other_male_, Field::SireID), other_male_sire_);
    EXPECT_EQ(model_.DogAt(5), other_female_);
}

TEST_F(ChartActionsTest, PlacingTheRootShowingAPlacesLinearaAndEditingRefillTheChart) {
    dialogs_.answers = {other_male_};
    actions_.PlaceDog(1);
    EXPECT_EQ(dialogs_.finds[0].sex_hint, -1);
    EXPECT_EQ(dialogs_.finds[0].request.instruction, "Click on a dog's name to show its lineara");
    EXPECT_EQ(state_.settings.RootDogID, other_male_);
    EXPECT_EQ(model_.DogAt(1), other_male_);
    EXPECT_EQ(Long(root_, Field::SireID), sire_);

    state_.settings.RootDogID = root_;
    Fill();
    actions_.ShowLinearaOf(2);
    EXPECT_EQ(state_.settings.RootDogID, sire_);
    EXPECT_EQ(model_.DogAt(2), grandsire_);

    // Editing a dog from the pop-up menu shows the changes at once.
    EditorNaming(QStringLiteral("Renamed Sire"));
    actions_.EditDogAt(2);
    EXPECT_EQ(dialogs_.edits, std::vector<bool>{false});
    EXPECT_TRUE(model_.At(2).display_name.contains(QStringLiteral("Renamed Sire")));
}

// A dog left without a name is discarded; a named one stands in the place, of the place's sex.
TEST_F(ChartActionsTest, ANewDogAddedFromThePlaceStandsThereUnlessLeftWithoutAName) {
    dialogs_.answers = {-1};
    EditorNaming(QString());
    const qint64 before = Count();
    actions_.PlaceDog(3);
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Dog not added"});
    EXPECT_EQ(prompts_.LastMessage()->text, "No registered name was entered.  The dog information "
                                            "was not entered into the database");
    EXPECT_EQ(Long(root_, Field::DamID), dam_);
    EXPECT_EQ(Count(), before);
    EXPECT_EQ(refills_, 0);

    dialogs_.answers = {-1};
    EditorNaming(QStringLiteral("New Sire"));
    actions_.PlaceDog(2);
    ASSERT_EQ(dialogs_.edits, (std::vector<bool>{true, true}));
    const qint32 added = Long(root_, Field::SireID);
    EXPECT_GT(added, other_female_);
    EXPECT_EQ(editor_sex_hint_, 1);
    RecordStore reader(path_);
    reader.FindFirst(Criterion::ById(added));
    EXPECT_EQ(reader.Text(Field::RegName), "New Sire");
    EXPECT_TRUE(reader.Flag(Field::SexMale));
    EXPECT_EQ(model_.DogAt(2), added);
}

// A dog placed among the ancestors of its own descendant would make the pedigree circular.
TEST_F(ChartActionsTest, ADogCannotBecomeItsOwnAncestor) {
    for (const qint32 chosen : {root_, sire_}) {
        prompts_.Clear();
        dialogs_.answers = {chosen};
        actions_.PlaceDog(4);  // the sire of the sire at place 2
        ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Cannot Place Dog"});
        EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("cannot be placed here")));
        EXPECT_EQ(Long(sire_, Field::SireID), grandsire_);
        EXPECT_EQ(refills_, 0);
    }
    // Further up, the root still descends from the grand sire.
    prompts_.Clear();
    dialogs_.answers = {root_};
    actions_.PlaceDog(9);
    EXPECT_EQ(Long(grandsire_, Field::DamID), 0);
    EXPECT_EQ(prompts_.MessageTitles(), QStringList{"Cannot Place Dog"});

    // A loop already in the data (entered by another program) must not trap the check.
    prompts_.Clear();
    const qint32 a = Add("Loop A", true);
    const qint32 b = Add("Loop B", true, a);
    store_.FindFirst(Criterion::ById(a));
    store_.Edit();
    store_.SetValue(Field::SireID, b);
    store_.Update();
    dialogs_.answers = {a};
    actions_.PlaceDog(2);
    EXPECT_EQ(Long(root_, Field::SireID), a);
    EXPECT_TRUE(prompts_.AllShown().empty());
}

TEST_F(ChartActionsTest, PruneCutsOnlyTheLinkShown) {
    prompts_.AnswerMessage(Answer::No);
    actions_.Prune(3);
    EXPECT_EQ(Long(root_, Field::DamID), dam_);
    actions_.Prune(1);  // the root has no link to cut, nor a lineara of its own to show
    actions_.ShowLinearaOf(1);
    EXPECT_EQ(prompts_.Beeps(), 2);
    EXPECT_EQ(refills_, 0);
    EXPECT_EQ(state_.settings.RootDogID, root_);

    prompts_.Clear();
    prompts_.AnswerMessage(Answer::Yes);
    actions_.Prune(2);
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Prune Dog?"});
    EXPECT_EQ(prompts_.LastMessage()->text,
              "Are you sure you want to prune Sire Dog  from this place in the lineara? "
              "(Sire Dog  will NOT be deleted from the database)");
    EXPECT_EQ(prompts_.LastMessage()->buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(Long(root_, Field::SireID), 0);
    EXPECT_EQ(Long(root_, Field::DamID), dam_);
    EXPECT_EQ(Long(sire_, Field::SireID), grandsire_);
    EXPECT_EQ(refills_, 1);
    EXPECT_EQ(model_.DogAt(2), 0);

    prompts_.AnswerMessage(Answer::Yes);
    actions_.Prune(3);
    EXPECT_EQ(Long(root_, Field::DamID), 0);
    EXPECT_TRUE(Exists(dam_));
}

TEST_F(ChartActionsTest, DeleteClearsTheParentInEveryChild) {
    const qint32 sons[] = {Add("Son 1", true, other_male_), Add("Son 2", true, other_male_),
                           Add("Son 3", true, other_male_, other_female_)};
    prompts_.AnswerMessage(Answer::Cancel);
    actions_.DeleteDog(other_male_);
    EXPECT_TRUE(Exists(other_male_));
    EXPECT_EQ(Long(sons[0], Field::SireID), other_male_);

    prompts_.Clear();
    prompts_.AnswerMessage(Answer::Ok);
    actions_.DeleteDog(other_male_);
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Delete Confirm"});
    EXPECT_EQ(prompts_.LastMessage()->text, "Are you sure you want to delete \"Other Male\"?");
    EXPECT_EQ(prompts_.LastMessage()->buttons, Prompts::Buttons::OkCancel);
    EXPECT_FALSE(Exists(other_male_));
    for (const qint32 son : sons) {
        EXPECT_EQ(Long(son, Field::SireID), 0);
    }
    EXPECT_EQ(Long(sons[2], Field::DamID), other_female_);
    EXPECT_TRUE(Exists(other_male_sire_));
    EXPECT_EQ(refills_, 0);  // neither it nor its sons are on the chart

    prompts_.AnswerMessage(Answer::Ok);
    actions_.DeleteDog(dam_);
    EXPECT_EQ(Long(root_, Field::DamID), 0);
    EXPECT_EQ(refills_, 1);
    EXPECT_EQ(model_.DogAt(3), 0);
}

TEST_F(ChartActionsTest, TheLastDogCannotBeDeleted) {
    const QString path = work_.File(QStringLiteral("One.mdb"));
    test::CreateDatabase(path);
    RecordStore one(path);
    const qint32 only = test::AddTestDog(one, QStringLiteral("Only Dog"));
    ChartActions actions(one, state_, prompts_, dialogs_, model_, [this] { Fill(); });
    actions.DeleteDog(only);
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Last Dog Entry"});
    EXPECT_EQ(prompts_.LastMessage()->text,
              "You cannot delete the last dog entry.  Add another entry before deleting this one");
    EXPECT_EQ(prompts_.LastMessage()->buttons, Prompts::Buttons::Ok);
    one.FindFirst(Criterion::ById(only));
    EXPECT_FALSE(one.NoMatch());
}

TEST_F(ChartActionsTest, AddNewDogStartsWithNoSexAndBecomesTheRoot) {
    state_.SexHint = 1;  // left over from placing a sire
    EditorNaming(QStringLiteral("Menu Pup"));
    actions_.AddNewDog();
    EXPECT_EQ(editor_sex_hint_, -1);
    const qint32 added = state_.settings.RootDogID;
    EXPECT_GT(added, other_female_);
    RecordStore reader(path_);
    reader.FindFirst(Criterion::ById(added));
    EXPECT_EQ(reader.Text(Field::RegName), "Menu Pup");
    EXPECT_FALSE(reader.Flag(Field::SexMale));
    EXPECT_EQ(model_.DogAt(1), added);
    EXPECT_EQ(refills_, 1);

    // Yes at the duplicate-name question: the editor removed the new record and turned to an
    // existing dog. Nothing is left to discard, and that dog is shown.
    const qint64 before = Count();
    dialogs_.editor = [this] {
        RecordStore editor(path_);
        editor.FindFirst(Criterion::ById(state_.SelectedDogID));
        editor.Delete();
        state_.SelectedDogID = other_male_;
    };
    actions_.AddNewDog();
    EXPECT_TRUE(prompts_.AllShown().empty());
    EXPECT_EQ(Count(), before);
    EXPECT_EQ(state_.settings.RootDogID, other_male_);
}

TEST_F(ChartActionsTest, EditMenuFindAndDelete) {
    dialogs_.answers = {other_female_, 0};
    actions_.FindByName();
    EXPECT_EQ(dialogs_.finds[0].request.caption, "Find Dog (by name)");
    EXPECT_EQ(dialogs_.finds[0].request.instruction, "Click on a dog's name to show its lineara");
    EXPECT_FALSE(dialogs_.finds[0].request.add_visible);
    EXPECT_EQ(state_.settings.RootDogID, other_female_);
    EXPECT_EQ(refills_, 1);
    actions_.FindByName();  // closed without a choice: nothing changes
    EXPECT_EQ(refills_, 1);

    state_.SexHint = 0;
    dialogs_.answers = {other_male_sire_};
    prompts_.AnswerMessage(Answer::Ok);
    actions_.DeleteByName();
    EXPECT_EQ(dialogs_.finds[2].request.caption, "Delete Dog Entry");
    EXPECT_EQ(dialogs_.finds[2].request.instruction, "Click on a dog's name to delete");
    EXPECT_FALSE(dialogs_.finds[2].request.add_visible);
    EXPECT_EQ(dialogs_.finds[2].sex_hint, -1);
    EXPECT_FALSE(Exists(other_male_sire_));
}

}  // namespace
}  // namespace lineara
