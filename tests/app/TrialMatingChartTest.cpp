#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "chart/ChartWidget.h"
#include "print/QtCertificatePrinting.h"
#include "support/MainWindowDriver.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace lineara {
namespace {

class TrialMatingChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(db_);
        RecordStore store(db_);
        grand_ = test::AddTestDog(store, QStringLiteral("Oakhill Grand Sire"), true);
        sire_ = test::AddTestDog(store, QStringLiteral("Oakhill Sire"), true, grand_, 0, {{Field::AmCh, true}});
        dam_ = test::AddTestDog(store, QStringLiteral("Oakhill Dam"), false, grand_, 0);
        other_sire_ = test::AddTestDog(store, QStringLiteral("Ridgeway Stud"), true);
        root_ = test::AddTestDog(store, QStringLiteral("Oakhill Root"), true);
        store.FindFirst(Criterion::ById(root_));
        store.Edit();
        store.SetValue(Field::PrintNotes, QStringLiteral("Notes of the root"));
        store.Update();
        state_ = test::WindowState(work_.Path(), db_, root_);
        state_.settings.NumGens = 3;
    }

    std::unique_ptr<MainLinearaForm> Open() { return test::OpenMainWindow(state_, prompts_, db_); }
    QAction* Action(MainLinearaForm& window, const char* name) {
        return window.Menus().Action(QLatin1String(name));
    }

    test::TempWorkDir work_;
    QString db_;
    qint32 grand_ = 0, sire_ = 0, dam_ = 0, other_sire_ = 0, root_ = 0;
    AppState state_;
    test::ScriptedPrompts prompts_;
};

TEST_F(TrialMatingChartTest, ThePlannedPuppyStandsAtTheRootWithThePairAndTheirAncestors) {
    const QStringList before = test::SnapshotRows(db_);
    auto window = Open();
    window->ShowTrialMating(sire_, dam_);
    const ChartModel& model = window->Model();
    EXPECT_TRUE(window->ShowingTrialMating());
    EXPECT_TRUE(model.IsTrialMating());
    EXPECT_EQ(model.At(1).display_name, QStringLiteral("Trial mating"));
    EXPECT_EQ(model.DogAt(2), sire_);
    EXPECT_EQ(model.DogAt(3), dam_);
    EXPECT_TRUE(model.At(2).champion);
    EXPECT_EQ(model.DogAt(4), grand_);
    EXPECT_EQ(model.DogAt(6), grand_);
    EXPECT_EQ(model.DogAt(5), 0);
    EXPECT_EQ(model.At(5).hint, ChartModel::kEmptyHint);
    // The root's own analyses are greyed out while nobody stored stands there.
    EXPECT_FALSE(Action(*window, "Analysis_Inbreeding")->isEnabled());
    EXPECT_FALSE(Action(*window, "Analysis_Siblings")->isEnabled());
    EXPECT_EQ(state_.settings.RootDogID, root_);

    // A content change keeps the trial chart; the highlight works on it as on any chart.
    Action(*window, "View_NumGens_4")->trigger();
    EXPECT_TRUE(window->Model().IsTrialMating());
    Action(*window, "View_HighlightRepeats")->trigger();
    EXPECT_TRUE(Action(*window, "View_HighlightRepeats")->isChecked());
    EXPECT_EQ(window->Model().DogAt(4), grand_);
    EXPECT_EQ(window->Model().DogAt(6), grand_);
    EXPECT_TRUE(window->Chart().Geometry().marks[4].visible);
    EXPECT_TRUE(window->Chart().Geometry().marks[6].visible);

    // Copy Lineara works on it.
    Action(*window, "Edit_Copy_Text")->trigger();
    const QString text = QApplication::clipboard()->text();
    // The root's line stands unindented between the sire's side and the dam's.
    EXPECT_TRUE(text.contains(QStringLiteral("\nTrial mating\r")) || text.contains(QStringLiteral("\nTrial mating\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\tAM CH OAKHILL SIRE")));
    EXPECT_TRUE(text.contains(QStringLiteral("\tOakhill Dam")));

    // The PDF is the puppy's certificate, named after it, without the root's print notes.
    prompts_.AnswerSaveFile(work_.File(QStringLiteral("trial.pdf")));
    Action(*window, "File_ExportPdf")->trigger();
    EXPECT_TRUE(QFile::exists(work_.File(QStringLiteral("trial.pdf"))));
    const auto saves = prompts_.ShownOfKind(test::ScriptedPrompts::Kind::SaveFile);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].file.directory.endsWith(QStringLiteral("Trial mating.pdf")))
        << saves[0].file.directory.toStdString();
    EXPECT_TRUE(state_.settings.PrintItem[kPrintNotes].Text.isEmpty());

    window->close();
    EXPECT_EQ(test::SnapshotRows(db_), before);  // nothing stored
    const auto saved = settings::Parse(work_.Read(QStringLiteral("LNR40.INI")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->RootDogID, root_);
}

TEST_F(TrialMatingChartTest, ThePuppyHasNoMenuAndItsParentsCannotBePrunedFromIt) {
    auto window = Open();
    window->ShowTrialMating(sire_, dam_);
    ChartWidget& chart = window->Chart();
    QTest::mouseClick(&chart, Qt::RightButton, {}, chart.CentreOf(1).toPoint());
    EXPECT_EQ(prompts_.Beeps(), 1);

    const QStringList shown = test::PopupItemsAt(*window, 3);
    EXPECT_FALSE(shown.contains(QStringLiteral("Popup_Prune")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Popup_ToRoot")));
    EXPECT_TRUE(window->Model().IsTrialMating());
}

TEST_F(TrialMatingChartTest, ClickingTheSiresPlaceChangesThePairAndAnotherRootEndsTheTrialChart) {
    auto window = Open();
    window->ShowTrialMating(sire_, dam_);
    ChartWidget& chart = window->Chart();
    const QStringList before = test::SnapshotRows(db_);
    QString caption;
    test::ChooseInNextFindDialog(QStringLiteral("ridgeway"), &caption);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.CentreOf(2).toPoint());
    EXPECT_EQ(caption, QStringLiteral("Choose Sire"));
    EXPECT_EQ(state_.SexHint, 1);
    EXPECT_TRUE(window->Model().IsTrialMating());
    EXPECT_EQ(window->Model().DogAt(2), other_sire_);
    EXPECT_EQ(window->Model().DogAt(3), dam_);
    EXPECT_EQ(test::SnapshotRows(db_), before);  // the pair changed, no record did

    // "Show this dog's lineara" on the dam: she becomes the root and the trial chart ends.
    QTimer::singleShot(0, [&] {
        window->Menus().Action(QStringLiteral("Popup_ToRoot"))->trigger();
        window->Menus().Popup()->close();
    });
    QTest::mouseClick(&chart, Qt::RightButton, {}, chart.CentreOf(3).toPoint());
    EXPECT_FALSE(window->ShowingTrialMating());
    EXPECT_EQ(state_.settings.RootDogID, dam_);
    EXPECT_EQ(window->Model().DogAt(1), dam_);
    EXPECT_TRUE(Action(*window, "Analysis_Inbreeding")->isEnabled());
}

TEST_F(TrialMatingChartTest, ChoosingTheFormerRootAgainEndsTheTrialChartButCancellingKeepsIt) {
    auto window = Open();
    window->ShowTrialMating(sire_, dam_);
    // Edit > Find Dog closed without a choice: still the trial chart.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    Action(*window, "Edit_Find")->trigger();
    EXPECT_TRUE(window->ShowingTrialMating());

    test::ChooseInNextFindDialog(QStringLiteral("oakhill root"));
    Action(*window, "Edit_Find")->trigger();
    EXPECT_FALSE(window->ShowingTrialMating());
    EXPECT_EQ(window->Model().DogAt(1), root_);
}

}  // namespace
}  // namespace lineara
