#include "records/DogInfoForm.h"
#include "records/TitleLadders.h"
#include "support/FindChild.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace lineara {
namespace {

using Answer = Prompts::Answer;

class DogInfoFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        store_.Open(path_);
        rex_ = test::AddTestDog(store_, QStringLiteral("Stonebrook Rex"), true, 0, 0,
                                {{Field::DOB, QDate(2000, 2, 12)}, {Field::CallName, QStringLiteral("Rex")},
                                 {Field::AmUDX, true}, {Field::Comments, QStringLiteral("Line one\r\nLine two")}});
        other_ = test::AddTestDog(store_, QStringLiteral("Müller's Ärger"), false);
        pup_ = test::AddTestDog(store_, QStringLiteral("Pup"), true, rex_, other_);
        state_.settings.DatabaseFile = path_;
    }

    std::unique_ptr<DogInfoForm> Open(qint32 dog, bool cancel_visible = false) {
        state_.SelectedDogID = dog;
        auto form = std::make_unique<DogInfoForm>(state_, prompts_, cancel_visible);
        return form;
    }

    template <typename T>
    T* Child(DogInfoForm& form, const char* name) {
        return test::FindChild<T>(form, name);
    }

    DogRecord Stored(qint32 dog) {
        RecordStore reader(path_);
        reader.FindFirst(Criterion::ById(dog));
        EXPECT_FALSE(reader.NoMatch());
        return reader.Record();
    }

    bool Exists(qint32 dog) {
        RecordStore reader(path_);
        reader.FindFirst(Criterion::ById(dog));
        return !reader.NoMatch();
    }

    test::TempWorkDir work_;
    QString path_;
    RecordStore store_;
    AppState state_;
    test::ScriptedPrompts prompts_;
    qint32 rex_ = 0;
    qint32 other_ = 0;
    qint32 pup_ = 0;
};

TEST_F(DogInfoFormTest, ShowsTheRecordAndWritesEveryBoxBackOnOk) {
    auto form = Open(rex_);
    EXPECT_EQ(form->windowTitle(), "Dog Information");
    auto* tabs = Child<QTabWidget>(*form, "TabStrip1");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) {
        titles << tabs->tabText(i);
    }
    EXPECT_EQ(titles, QStringList({"General", "Conformation", "Obedience", "Flyball", "Herding", "Agility", "Other"}));
    EXPECT_FALSE(Child<QPushButton>(*form, "CancelButton")->isVisibleTo(form.get()));
    EXPECT_EQ(Child<QLineEdit>(*form, "RegNameTextBox")->text(), "Stonebrook Rex");
    EXPECT_EQ(Child<QLineEdit>(*form, "DOBTextBox")->text(), "2/12/2000");
    EXPECT_EQ(Child<QLineEdit>(*form, "RegNameTextBox")->maxLength(), 255);
    EXPECT_EQ(Child<QPlainTextEdit>(*form, "Text4")->toPlainText(), "Line one\nLine two");
    EXPECT_EQ(Child<QPlainTextEdit>(*form, "Text14")->toolTip(), "These notes can be printed on the lineara printout");
    // A stored record whose titles break a ladder is shown as it is, not repaired on opening.
    EXPECT_TRUE(Child<QCheckBox>(*form, "AmUDXCheck")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(*form, "AmCDCheck")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(*form, "MaleCheck")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(*form, "FemaleCheck")->isChecked());

    Child<QLineEdit>(*form, "CallNameTextBox")->setText(QString());
    Child<QLineEdit>(*form, "DOBTextBox")->setText(QStringLiteral("12 February 2001"));
    Child<QLineEdit>(*form, "Text11")->setText(QStringLiteral("Int/Bda"));
    Child<QCheckBox>(*form, "FemaleCheck")->setChecked(true);
    Child<QCheckBox>(*form, "Check3")->setChecked(true);
    Child<QPlainTextEdit>(*form, "Text14")->setPlainText(QStringLiteral("Top winner\nBred by us"));
    form->accept();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts_.AllShown().empty());
    EXPECT_EQ(state_.SelectedDogID, rex_);

    const DogRecord saved = Stored(rex_);
    EXPECT_TRUE(saved.IsNull(Field::CallName));
    EXPECT_EQ(saved.Date(Field::DOB), QDate(2001, 2, 12));
    EXPECT_EQ(saved.Text(Field::OtherCh), "Int/Bda");
    EXPECT_FALSE(saved.Flag(Field::SexMale));
    EXPECT_TRUE(saved.Flag(Field::ForceCh));
    EXPECT_TRUE(saved.Flag(Field::AmUDX));
    EXPECT_FALSE(saved.Flag(Field::AmCD));
    EXPECT_EQ(saved.Text(Field::PrintNotes), "Top winner\r\nBred by us");
    EXPECT_EQ(saved.Text(Field::Comments), "Line one\r\nLine two");
}

TEST_F(DogInfoFormTest, MaleAndFemaleAreAlwaysExactlyOne) {
    auto form = Open(rex_);
    auto* male = Child<QCheckBox>(*form, "MaleCheck");
    auto* female = Child<QCheckBox>(*form, "FemaleCheck");
    female->click();
    EXPECT_TRUE(female->isChecked());
    EXPECT_FALSE(male->isChecked());
    female->click();
    EXPECT_TRUE(male->isChecked());
    male->click();
    EXPECT_TRUE(female->isChecked());
    form->close();  // the close box keeps the changes, as OK does
    EXPECT_FALSE(Stored(rex_).Flag(Field::SexMale));
}

// The ladder table is checked on its own; here, that every laddered box follows it.
TEST_F(DogInfoFormTest, TitleLaddersFollowTheUsersClicks) {
    auto form = Open(pup_);
    const auto box = [&](Field title) {
        return Child<QCheckBox>(*form, (QByteArray(NameOf(title)) + "Check").constData());
    };
    const auto state = [&] {
        std::bitset<kFieldCount> checked;
        for (Field title : TitleFieldsWithLadders()) {
            checked.set(static_cast<std::size_t>(IndexOf(title)), box(title)->isChecked());
        }
        return checked;
    };
    for (bool tick : {true, false}) {
        for (Field title : TitleFieldsWithLadders()) {
            if (box(title)->isChecked() != tick) {
                std::bitset<kFieldCount> expected = state();
                ApplyTitleLadder(title, tick, expected);
                box(title)->click();
                EXPECT_EQ(state(), expected) << NameOf(title);
            }
        }
    }
}

TEST_F(DogInfoFormTest, AnInvalidDateKeepsTheDialogOpenUntilCorrected) {
    auto form = Open(rex_);
    auto* dob = Child<QLineEdit>(*form, "DOBTextBox");
    for (const char* bad : {"31 Feb 2000", "abc"}) {
        prompts_.Clear();
        dob->setText(QString::fromLatin1(bad));
        form->accept();
        EXPECT_EQ(form->result(), 0) << bad;
        ASSERT_EQ(prompts_.MessageTitles(), QStringList{"Invalid Date"}) << bad;
        EXPECT_EQ(prompts_.LastMessage()->text,
                  "The date entered under Date of Birth is not valid, either because it is not a valid date "
                  "or it is entered in an invalid format.  Please clear the field or enter a valid date (e.g. "
                  "12 Feb 2000).");
    }
    EXPECT_EQ(Stored(rex_).Date(Field::DOB), QDate(2000, 2, 12));
    dob->clear();
    form->accept();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(Stored(rex_).IsNull(Field::DOB));
}

// What the answers do to the records is checked with the question itself; here, what the
// dialog does next: No stays, Yes goes on with the existing dog, Cancel closes.
TEST_F(DogInfoFormTest, TheDuplicateNameAnswersDecideWhatTheDialogShows) {
    store_.AddNew();
    store_.Update();
    const qint32 fresh = store_.LastModified().dog_id;
    auto form = Open(fresh, true);
    auto* name = Child<QLineEdit>(*form, "RegNameTextBox");
    auto* cancel = Child<QPushButton>(*form, "CancelButton");
    EXPECT_TRUE(cancel->isVisibleTo(form.get()));
    prompts_.AnswerMessage(Answer::No);
    prompts_.AnswerMessage(Answer::Yes);
    name->setText(QStringLiteral("pup"));
    form->accept();
    EXPECT_EQ(form->result(), 0);
    EXPECT_TRUE(Exists(fresh));

    name->setText(QStringLiteral("  MÜLLER'S ärger "));
    form->accept();
    EXPECT_EQ(prompts_.MessageTitles(), QStringList({"Duplicate Name", "Duplicate Name"}));
    EXPECT_EQ(state_.SelectedDogID, other_);
    EXPECT_FALSE(Exists(fresh));
    // The dialog now shows the existing dog, and can no longer throw it away.
    EXPECT_EQ(form->result(), 0);
    EXPECT_EQ(name->text(), "Müller's Ärger");
    EXPECT_FALSE(cancel->isVisibleTo(form.get()));

    prompts_.AnswerMessage(Answer::Cancel);
    name->setText(QStringLiteral("PUP"));
    form->accept();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(state_.SelectedDogID, 0);
    EXPECT_FALSE(Exists(other_));
    EXPECT_EQ(Stored(pup_).Long(Field::DamID), 0);  // no record points at the deleted dog
}

TEST_F(DogInfoFormTest, CancelNewDogAsksFirst) {
    store_.AddNew();
    store_.Update();
    const qint32 fresh = store_.LastModified().dog_id;
    auto form = Open(fresh, true);
    auto* cancel = Child<QPushButton>(*form, "CancelButton");
    cancel->click();  // unscripted: No
    EXPECT_EQ(prompts_.MessageTitles(), QStringList{"Cancel New Dog"});
    EXPECT_EQ(prompts_.LastMessage()->text,
              "Are you sure you want to cancel adding this dog?  This record will be lost.");
    EXPECT_TRUE(Exists(fresh));
    prompts_.AnswerMessage(Answer::Yes);
    cancel->click();
    EXPECT_FALSE(Exists(fresh));
    EXPECT_EQ(state_.SelectedDogID, 0);
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(DogInfoFormTest, FocusStartsInTheRegisteredName) {
    auto form = Open(rex_);
    form->show();
    QApplication::setActiveWindow(form.get());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(*form, "RegNameTextBox"));
    EXPECT_TRUE(Child<QPushButton>(*form, "OKButton")->isDefault());
}

}  // namespace
}  // namespace lineara
