#include "analysis/DogListForm.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace lineara {
namespace {

TEST(DogListFormTest, ListsDogsOrNoneAndAClickChoosesTheDog) {
    AppState state;
    state.SelectedDogID = 77;
    SiblingLists lists;
    lists.full = {{5, QStringLiteral("Alpha")}, {6, QStringLiteral("beta")}};
    std::unique_ptr<DogListForm> form(MakeSiblingsForm(state, QStringLiteral("Rex"), lists, nullptr));
    EXPECT_EQ(state.SelectedDogID, 0);
    EXPECT_EQ(form->windowTitle(), "Siblings");
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("DogNameLabel"))->text(), "Siblings of Rex");
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("Label2"))->text(), "Click on a dog's name to show it's lineara");
    EXPECT_EQ(form->findChild<QPushButton*>(QStringLiteral("ExitButton"))->text(), "E&xit");
    auto* half = form->findChild<QListWidget*>(QStringLiteral("HalfSiblingsList"));
    ASSERT_EQ(half->count(), 1);
    EXPECT_EQ(half->item(0)->text(), "(none in database)");
    // The minimum is 4000 x 3000 twips.
    EXPECT_GE(form->minimumWidth(), 4000 * form->logicalDpiX() / 1440);
    EXPECT_EQ(form->minimumHeight(), 3000 * form->logicalDpiY() / 1440);
    // At its smallest the hint is still read whole.
    EXPECT_GT(form->minimumWidth(), form->findChild<QLabel*>(QStringLiteral("Label2"))->sizeHint().width());

    emit half->itemClicked(half->item(0));
    EXPECT_EQ(state.SelectedDogID, 0);
    EXPECT_EQ(form->result(), QDialog::Rejected);

    auto* full = form->findChild<QListWidget*>(QStringLiteral("FullSiblingsList"));
    emit full->itemActivated(full->item(1));
    EXPECT_EQ(state.SelectedDogID, 6);
    EXPECT_EQ(form->result(), QDialog::Accepted);

    std::unique_ptr<DogListForm> offspring(MakeOffspringForm(state, QStringLiteral("Rex"), {}, nullptr));
    EXPECT_EQ(offspring->windowTitle(), "Offspring");
    EXPECT_EQ(offspring->findChild<QListWidget*>(QStringLiteral("OffspringList"))->item(0)->text(), "(none in database)");
}

}  // namespace
}  // namespace lineara
