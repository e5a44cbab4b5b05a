#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "app/ViewExtras.h"
#include "chart/ChartWidget.h"
#include "support/MainWindowDriver.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QToolTip>

namespace lineara {
namespace {

TEST(ViewExtrasFileTest, ParsesWhatItWritesAndRefusesDamage) {
    for (const bool on : {false, true}) {
        ViewExtras extras;
        extras.highlight_repeats = on;
        EXPECT_EQ(view_extras::Parse(view_extras::Serialize(extras)), extras);
    }
    EXPECT_EQ(view_extras::Serialize({true}), QByteArray("[LINEARA]\r\nHighlightRepeatedAncestors=1\r\n"));
    // Unknown keys (a later version), comments, LF line ends and letter case read fine.
    const auto later = view_extras::Parse("; note\n[LINEARA]\nSomethingNew=42\nhighlightrepeatedancestors = 1\n");
    ASSERT_TRUE(later);
    EXPECT_TRUE(later->highlight_repeats);
    EXPECT_EQ(view_extras::Parse(QByteArray()), ViewExtras{});

    struct Damaged {
        QByteArray bytes;
        const char* reason;
    };
    const Damaged damaged[] = {
        {"HighlightRepeatedAncestors=yes\r\n", "HighlightRepeatedAncestors must be 0 or 1, not \"yes\""},
        {"HighlightRepeatedAncestors\r\n", "the line \"HighlightRepeatedAncestors\" is not of the form Key=Value"},
        {QByteArray("\x00\x01\x02\xff\xfe", 5), "the file is not a text file"},
        {QByteArray(view_extras::kLargestFile + 1, 'x'), "the file is too large to be a settings file"},
    };
    for (const Damaged& d : damaged) {
        QString reason;
        EXPECT_FALSE(view_extras::Parse(d.bytes, &reason));
        EXPECT_EQ(reason, QString::fromUtf8(d.reason));
    }
}

class ViewExtrasWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(db_);
        RecordStore store(db_);
        const qint32 grand = test::AddTestDog(store, QStringLiteral("Grand Sire"), true);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Half Brother"), true, grand, 0);
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Half Sister"), false, grand, 0);
        root_ = test::AddTestDog(store, QStringLiteral("Linebred Pup"), true, sire, dam);
        state_ = test::WindowState(work_.Path(), db_, root_);
        state_.settings.NumGens = 2;
    }

    std::unique_ptr<MainLinearaForm> Open() { return test::OpenMainWindow(state_, prompts_, db_, {900, 600}); }
    QAction* Highlight(MainLinearaForm& window) {
        return window.Menus().Action(QStringLiteral("View_HighlightRepeats"));
    }
    QString ExtrasPath() const { return work_.File(QStringLiteral("LNR40EXT.INI")); }
    QString IniPath() const { return work_.File(QStringLiteral("LNR40.INI")); }

    test::TempWorkDir work_;
    QString db_;
    qint32 root_ = 0;
    AppState state_;
    test::ScriptedPrompts prompts_;
};

TEST_F(ViewExtrasWindowTest, TheSwitchIsRememberedWhileTheDesignedFileKeepsItsLayout) {
    // No second file yet: the switch is off and nobody is told anything.
    auto window = Open();
    EXPECT_TRUE(prompts_.AllShown().empty());
    ASSERT_NE(Highlight(*window), nullptr);
    EXPECT_FALSE(Highlight(*window)->isChecked());
    EXPECT_FALSE(window->Chart().Geometry().marks[4].visible);
    Highlight(*window)->trigger();
    // The grand sire stands at 4 and 6 and is marked at once.
    EXPECT_TRUE(window->Chart().Geometry().marks[4].visible);
    EXPECT_TRUE(window->Chart().Geometry().marks[6].visible);
    EXPECT_FALSE(window->Chart().Geometry().marks[5].visible);
    // Its tool tip tells how often it appears, then what a click does.
    ChartWidget& chart = window->Chart();
    QHelpEvent help(QEvent::ToolTip, chart.CentreOf(4).toPoint(), chart.mapToGlobal(chart.CentreOf(4).toPoint()));
    QApplication::sendEvent(&chart, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Appears 2 times: 1 on the sire's side, 1 on the dam's side\n") +
                                    ChartModel::kOccupiedHint);
    QToolTip::hideText();
    window->close();
    EXPECT_EQ(work_.Read(IniPath()).size(), settings::kFileSize);
    EXPECT_EQ(work_.Read(ExtrasPath()), QByteArray("[LINEARA]\r\nHighlightRepeatedAncestors=1\r\n"));

    auto again = Open();
    EXPECT_TRUE(Highlight(*again)->isChecked());
    EXPECT_TRUE(again->Chart().Geometry().marks[6].visible);
    Highlight(*again)->trigger();
    again->close();
    EXPECT_EQ(work_.Read(ExtrasPath()), QByteArray("[LINEARA]\r\nHighlightRepeatedAncestors=0\r\n"));
    EXPECT_TRUE(prompts_.AllShown().empty());
}

TEST_F(ViewExtrasWindowTest, ADamagedSecondFileGivesTheDefaultsAndAMessageAndLeavesTheDesignedFileAlone) {
    ASSERT_TRUE(WriteSettings(state_.settings, work_.Path()).isEmpty());
    const QByteArray ini = work_.Read(IniPath());
    work_.Write(ExtrasPath(), QByteArray("\x89PNG\r\n\x1a\n\x00\x00garbage", 16));
    auto window = Open();
    EXPECT_FALSE(Highlight(*window)->isChecked());
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{QStringLiteral("Error Reading Settings")});
    const QString text = prompts_.LastMessage()->text;
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(ExtrasPath()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("the file is not a text file"))) << text.toStdString();
    EXPECT_EQ(work_.Read(IniPath()), ini);  // reading touched nothing
    window->close();
    // The close writes a sound file in its place.
    EXPECT_EQ(view_extras::Parse(work_.Read(ExtrasPath())), ViewExtras{});
}

TEST_F(ViewExtrasWindowTest, AnUnwritableSecondFileIsReportedAndTheDesignedFileIsStillSaved) {
    // A folder in the file's place cannot be replaced by a file.
    ASSERT_TRUE(QDir(work_.Path()).mkdir(QStringLiteral("LNR40EXT.INI")));
    auto window = Open();
    prompts_.Clear();  // whether a folder reads as damaged or as empty, the defaults hold
    EXPECT_FALSE(Highlight(*window)->isChecked());
    Highlight(*window)->trigger();
    window->close();
    EXPECT_EQ(prompts_.MessageTitles(), QStringList{QStringLiteral("Error Saving Settings")});
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("display settings")));
    const auto saved = settings::Parse(work_.Read(IniPath()));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->RootDogID, root_);
}

}  // namespace
}  // namespace lineara
