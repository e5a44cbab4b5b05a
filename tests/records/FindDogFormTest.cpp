#include "records/FindDogForm.h"
#include "support/FindChild.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace lineara {
namespace {

class FindDogFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        RecordStore store(path_);
        misty_ = test::AddTestDog(store, QStringLiteral("Misty Morning"), false);
        twilight_ = test::AddTestDog(store, QStringLiteral("Ch. Twilight Mist"), true);
        test::AddTestDog(store, QStringLiteral("Blue Moon"), true);
        state_.settings.DatabaseFile = path_;
    }

    std::unique_ptr<FindDogForm> Open(qint16 sex_hint, bool add_visible = true) {
        state_.SexHint = sex_hint;
        state_.SelectedDogID = 12345;
        auto form = std::make_unique<FindDogForm>(state_, prompts_, QStringLiteral("Place Dog"),
                                                  QStringLiteral("Click on a dog's name to show its lineara"),
                                                  add_visible);
        form->show();
        QApplication::processEvents();
        return form;
    }

    template <typename T>
    T* Child(FindDogForm& form, const char* name) {
        return test::FindChild<T>(form, name);
    }

    QStringList Listed(FindDogForm& form) {
        QStringList names;
        auto* model = Child<QListView>(form, "DogList")->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            names << model->index(row, 0).data().toString();
        }
        return names;
    }

    void Search(FindDogForm& form, const QString& text) {
        auto* box = Child<QLineEdit>(form, "TextToFind");
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    test::TempWorkDir work_;
    QString path_;
    AppState state_;
    test::ScriptedPrompts prompts_;
    qint32 misty_ = 0;
    qint32 twilight_ = 0;
};

TEST_F(FindDogFormTest, EnterSearchesAndTheCountSaysWhatWasFound) {
    auto form = Open(-1);
    EXPECT_EQ(form->windowTitle(), "Place Dog");
    EXPECT_EQ(state_.SelectedDogID, 0);
    EXPECT_EQ(Child<QLabel>(*form, "Label1")->text(), "Enter the text to search for, then press the \"Find\" button.");
    EXPECT_FALSE(Child<QLabel>(*form, "InstructionLabel")->isVisible());

    Search(*form, QStringLiteral("  mist "));
    EXPECT_EQ(Listed(*form), QStringList({"Ch. Twilight Mist", "Misty Morning"}));
    EXPECT_EQ(Child<QLabel>(*form, "NumDogsLabel")->text(), "2 dogs found");
    EXPECT_TRUE(Child<QLabel>(*form, "NumDogsLabel")->isVisible());
    EXPECT_TRUE(Child<QLabel>(*form, "InstructionLabel")->isVisible());
    EXPECT_EQ(Child<QLabel>(*form, "InstructionLabel")->text(), "Click on a dog's name to show its lineara");

    // Enter on the selected entry chooses it.
    auto* list = Child<QListView>(*form, "DogList");
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(state_.SelectedDogID, misty_);
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

// Typing lists matches after a short pause; a search overtaken by newer typing never shows,
// even when its answer is already waiting to be delivered.
TEST_F(FindDogFormTest, TypingListsMatchesAndTheLastTypedTextWins) {
    auto form = Open(-1);
    auto* box = Child<QLineEdit>(*form, "TextToFind");
    QTest::keyClicks(box, QStringLiteral("mist"));
    EXPECT_TRUE(Listed(*form).isEmpty());  // nothing before the pause
    form->WaitForTypedSearch();
    QApplication::processEvents();
    EXPECT_EQ(Listed(*form), QStringList({"Ch. Twilight Mist", "Misty Morning"}));
    EXPECT_EQ(Child<QLabel>(*form, "NumDogsLabel")->text(), "2 dogs found");

    // The search for "mistY" has finished, its answer queued, when the text changes again.
    QTest::keyClick(box, Qt::Key_Y);
    form->WaitForTypedSearch();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("moo"));
    form->WaitForTypedSearch();
    QApplication::processEvents();
    EXPECT_EQ(Listed(*form), QStringList({"Blue Moon"}));
    EXPECT_EQ(Child<QLabel>(*form, "NumDogsLabel")->text(), "1 dog found");

    // Clearing the text empties the list at once, and the answer on its way is dropped.
    QTest::keyClick(box, Qt::Key_O);
    form->WaitForTypedSearch();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QApplication::processEvents();
    EXPECT_TRUE(Listed(*form).isEmpty());
    EXPECT_FALSE(Child<QLabel>(*form, "NumDogsLabel")->isVisible());
}

TEST_F(FindDogFormTest, NoMatchAndTheButtonsChooseNothingButAddAsksForANewDog) {
    auto form = Open(1);
    Search(*form, QString());  // nothing to find: nothing happens
    EXPECT_FALSE(Child<QLabel>(*form, "NumDogsLabel")->isVisible());
    Search(*form, QStringLiteral("morning"));
    EXPECT_EQ(Listed(*form), QStringList{"(no match found)"});
    EXPECT_EQ(Child<QLabel>(*form, "NumDogsLabel")->text(), "No male dogs found");
    auto* list = Child<QListView>(*form, "DogList");
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(state_.SelectedDogID, 0);
    EXPECT_FALSE(form->isVisible());

    auto add = Open(0);
    Search(*add, QStringLiteral("Mist"));
    EXPECT_EQ(Child<QLabel>(*add, "NumDogsLabel")->text(), "1 dog found");
    Child<QPushButton>(*add, "AddDogButton")->click();
    EXPECT_EQ(state_.SelectedDogID, -1);

    auto exit = Open(-1);
    Child<QPushButton>(*exit, "ExitButton")->click();
    EXPECT_EQ(state_.SelectedDogID, 0);

    auto closed = Open(-1, false);
    EXPECT_FALSE(Child<QPushButton>(*closed, "AddDogButton")->isVisible());
    closed->close();
    EXPECT_EQ(state_.SelectedDogID, 0);
}

TEST_F(FindDogFormTest, TheWindowKeepsItsMinimumSizeAndColumnsFollowTheListWidth) {
    auto form = Open(-1);
    form->resize(50, 50);
    QApplication::processEvents();
    const int dpi = form->logicalDpiX();
    EXPECT_GE(form->width(), 4000 * dpi / 1440);
    EXPECT_GE(form->height(), 3000 * form->logicalDpiY() / 1440);

    auto* list = Child<QListView>(*form, "DogList");
    form->resize(form->width() + (6500 * dpi / 1440 - list->viewport()->width()), form->height());
    QApplication::processEvents();
    ASSERT_NEAR(list->viewport()->width(), 6500 * dpi / 1440, 2);
    EXPECT_NEAR(list->gridSize().width(), list->viewport()->width() / 2, 1);  // two columns
}

}  // namespace
}  // namespace lineara
