#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "chart/ChartWidget.h"
#include "maintenance/DatabaseFiles.h"
#include "support/MainWindowDriver.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <functional>

namespace lineara {
namespace {

using test::ScriptedPrompts;

// Drives the modal dialog that the next command opens, then closes it.
void WhenModalOpens(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        step(modal);
    });
}

// Waits for the modal dialog named `name` (one opened inside another's work), then drives it.
void WhenDialogNamedOpens(const QString& name, std::function<void(QWidget*)> step, int tries = 500) {
    QTimer::singleShot(10, [name, step = std::move(step), tries]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->objectName() == name) {
            step(modal);
        } else if (tries > 0) {
            WhenDialogNamedOpens(name, std::move(step), tries - 1);
        }
    });
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(db_);
        RecordStore store(db_);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Stonebrook Sire"), true, 0, 0,
                                             {{Field::AmCh, true}});
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Stonebrook Dam"), false);
        root_ = test::AddTestDog(store, QStringLiteral("Stonebrook Pup"), true, sire, dam);
        state_ = test::WindowState(work_.Path(), db_, root_);
    }

    std::unique_ptr<MainLinearaForm> Open() { return test::OpenMainWindow(state_, prompts_, db_); }

    QAction* Action(MainLinearaForm& window, const char* name) {
        QAction* action = window.Menus().Action(QLatin1String(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    QByteArray SettingsBytes() const { return work_.Read(QStringLiteral("LNR40.INI")); }

    test::TempWorkDir work_;
    QString db_;
    qint32 root_ = 0;
    AppState state_;
    ScriptedPrompts prompts_;
};

TEST_F(MainWindowTest, CaptionAndMenusAreAsDesigned) {
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), "LINEARA v4.0.6 -- " + db_);

    QStringList tops;
    for (QAction* action : window->menuBar()->actions()) {
        tops << action->text();
    }
    EXPECT_EQ(tops, QStringList({"&File", "&Edit", "&Analysis", "&View", "&Help"}));

    const std::pair<const char*, const char*> items[] = {
        {"File_PrintSetup", "Print &Setup"}, {"File_PrintLayout", "Print &Layout"}, {"File_Print", "&Print"},
        {"File_Save", "Sa&ve Lineara"}, {"File_Save_Tabs", "Text file (with &tabs)"},
        {"File_Save_Spaces", "Text file (with &spaces)"}, {"File_DatabaseInfo", "Database &Information"},
        {"File_CleanDB", "C&lean-up Database"}, {"File_LoadDB", "&Use a Different Database"},
        {"File_MergeDB", "&Merge Database"}, {"File_NewDB", "&Create a New Database"}, {"File_Exit", "E&xit"},
        {"Edit_Copy", "&Copy Lineara"}, {"Edit_Copy_Text", "&Text Format (with tabs)"},
        {"Edit_Copy_Text_Spaces", "Text Format (with &spaces)"}, {"Edit_Copy_HTML", "&HTML Format (table)"},
        {"Edit_Add", "&Add New Dog"}, {"Edit_Delete", "&Delete Dog"}, {"Edit_Find", "&Find Dog (by name)"},
        {"Analysis_Offspring", "List &Offspring"}, {"Analysis_Siblings", "List &Siblings"},
        {"Analysis_Lineara", "Lineara &Information"}, {"Analysis_Inbreeding", "Inbreeding and Relationship &Report"},
        {"Analysis_ClearIC", "&Clear All Inbreeding Coefficients"}, {"Help_Contents", "&Contents"},
        {"Help_About", "&About"}, {"View_Country", "Am/Can Title Style"},
        {"View_Country_Am", "&American Title Style"}, {"View_Country_Can", "&Canadian Title Style"},
        {"View_NumGens", "Num &Generations Shown"}, {"View_NumGens_2", "&2 Generations"},
        {"View_NumGens_6", "&6 Generations"}, {"View_ChampStyle", "&Champion Name Style"},
        {"View_ChampStyle_Font", "&Font Name"}, {"View_ChampStyle_Uppercase", "U&ppercase"},
        {"View_NotChStyle", "&Non-Champion Name Style"}, {"View_NotChStyle_Colour", "&Colour"},
        {"View_Addl", "&Additional Information Text"}, {"View_Addl_None", "None"},
        {"View_Addl_DOB", "Date of Birth"}, {"View_Addl_IC", "Inbreeding Coefficient"},
        {"View_LineStyle", "&Line Style"}, {"View_LineStyle_ShowLines", "&Show Lines"},
        {"View_LineStyle_Thickness", "&Thickness"}, {"View_LineStyle_Thickness_Thick", "&Thick"},
        {"View_LineStyle_Angle", "&Angle"}, {"View_LineStyle_Angle_Right", "&Right-Angles"},
        {"View_LineStyle_Offset", "&Offset"}, {"View_LineStyle_Colour", "&Colour"},
        {"Popup_Edit", "Edit this dog's information"}, {"Popup_Change", "Place another dog here"},
        {"Popup_ToRoot", "Show this dog's lineara"}, {"Popup_Prune", "Prune this dog from this lineara"},
        {"Popup_Delete", "Delete this dog from the database"},
    };
    for (const auto& [name, caption] : items) {
        QAction* action = Action(*window, name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromUtf8(caption)) << name;
    }
}

TEST_F(MainWindowTest, DatabaseInformationShowsNameSizeAndCount) {
    auto window = Open();
    Action(*window, "File_DatabaseInfo")->trigger();
    const auto* shown = prompts_.LastMessage();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->title, QStringLiteral("Database Information"));
    EXPECT_EQ(shown->buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(shown->icon, Prompts::Icon::None);
    const qint64 kb = SizeInKb(QFileInfo(db_).size());
    EXPECT_EQ(shown->text, QStringLiteral("Information on the database currently in use:\r\rFile Name:  %1\r"
                                          "File Size:  %2 kB\rNumber of individual records:  3\r")
                               .arg(db_)
                               .arg(kb));
}

TEST_F(MainWindowTest, MergeRefusesACancelledOrForeignChoiceAndChangesNothing) {
    auto window = Open();
    prompts_.AnswerOpenFile(QString());
    prompts_.AnswerOpenFile(work_.Write(QStringLiteral("notes.txt"), "not a database"));
    for (int i = 0; i < 2; ++i) {
        Action(*window, "File_MergeDB")->trigger();
        const auto* shown = prompts_.LastMessage();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->title, QStringLiteral("Merge Cancelled/Error"));
        EXPECT_EQ(shown->text, QStringLiteral("Merge cancelled, or the file choosen is not a LINEARA database"));
    }
    const auto files = prompts_.ShownOfKind(ScriptedPrompts::Kind::OpenFile);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].title, QStringLiteral("Choose a LINEARA database to merge into the current one"));
    EXPECT_EQ(files[0].file.filter, QStringLiteral("LINEARA Database|*.MDB"));
    EXPECT_EQ(RecordStore(db_).Database().CountRows(), 3);

    // A damaged file with the right name: a message, and the current database as it was.
    const QString damaged = work_.Write(QStringLiteral("Damaged.MDB"), "garbage, not SQLite");
    prompts_.AnswerOpenFile(damaged);
    QString title;
    WhenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        modal->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    Action(*window, "File_MergeDB")->trigger();
    EXPECT_EQ(title, QStringLiteral("Merge Databases"));
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Merge Databases"));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(damaged)) << prompts_.LastMessage()->text.toStdString();
    EXPECT_EQ(RecordStore(db_).Database().CountRows(), 3);
}

TEST_F(MainWindowTest, MergeCopiesTheOtherFileAndCleanUpFoldsTheDuplicates) {
    const QString other = work_.File(QStringLiteral("Other.MDB"));
    DogDatabase::Create(other);
    {
        RecordStore store(other);
        test::AddTestDog(store, QStringLiteral("Stonebrook Sire"), true);
        test::AddTestDog(store, QStringLiteral("Heathcliff Rover"), true);
    }
    auto window = Open();
    // Cancel in the dialog changes nothing.
    prompts_.AnswerOpenFile(other);
    QString label;
    WhenModalOpens([&](QWidget* modal) {
        label = modal->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        modal->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    Action(*window, "File_MergeDB")->trigger();
    EXPECT_TRUE(label.startsWith(QStringLiteral("Depending on the sizes of the databases")));
    EXPECT_EQ(RecordStore(db_).Database().CountRows(), 3);

    // OK, then the automatic clean-up: the shared sire folds into one record.
    prompts_.AnswerOpenFile(other);
    prompts_.AnswerMessage(Prompts::Answer::No);
    WhenModalOpens([&](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("OKButton"))->click(); });
    Action(*window, "File_MergeDB")->trigger();
    EXPECT_TRUE(prompts_.MessageTitles().contains(QStringLiteral("Eliminate Duplicates: Interactive?")));
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Merge Complete"));
    EXPECT_EQ(prompts_.LastMessage()->text, QStringLiteral("Merge Complete"));
    EXPECT_EQ(RecordStore(other).Database().CountRows(), 2);
    EXPECT_EQ(RecordStore(db_).Database().CountRows(), 4);

    // Clean-up on its own, interactively: "Two records merged", then the editor on the kept dog.
    test::AddTestDog(window->Store(), QStringLiteral("Heathcliff Rover"), true);
    prompts_.Clear();
    prompts_.AnswerMessage(Prompts::Answer::Yes);
    QString cleanup_title;
    bool editor_cancel_visible = true;
    WhenModalOpens([&](QWidget* modal) {
        cleanup_title = modal->windowTitle();
        WhenDialogNamedOpens(QStringLiteral("DogInfoForm"), [&](QWidget* editor) {
            editor_cancel_visible = editor->findChild<QPushButton*>(QStringLiteral("CancelButton"))->isVisible();
            editor->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        });
        modal->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    Action(*window, "File_CleanDB")->trigger();
    EXPECT_EQ(cleanup_title, QStringLiteral("Database Cleanup"));
    EXPECT_FALSE(editor_cancel_visible);
    EXPECT_TRUE(prompts_.MessageTitles().contains(QStringLiteral("Two records merged")))
        << prompts_.MessageTitles().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Clean-up Complete"));
    EXPECT_EQ(RecordStore(db_).Database().CountRows(), 4);
}

TEST_F(MainWindowTest, UseADifferentDatabaseSwitchesOnlyToAUsableFile) {
    const QString other = work_.File(QStringLiteral("Beagles.MDB"));
    DogDatabase::Create(other);
    {
        RecordStore store(other);
        test::AddTestDog(store, QStringLiteral("Beagle One"), true);
        test::AddTestDog(store, QStringLiteral("Beagle Two"), false);
    }
    const QString damaged = work_.Write(QStringLiteral("Broken.MDB"), "this is not a database");
    auto window = Open();
    const QString caption = window->windowTitle();
    prompts_.AnswerOpenFile(QString());
    Action(*window, "File_LoadDB")->trigger();
    prompts_.AnswerOpenFile(damaged);
    Action(*window, "File_LoadDB")->trigger();
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Database Error"));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(damaged));
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(state_.DatabasePath(), db_);
    EXPECT_EQ(window->Store().Database().CountRows(), 3);

    const auto files = prompts_.ShownOfKind(ScriptedPrompts::Kind::OpenFile);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].title, QStringLiteral("Load a LINEARA database"));
    EXPECT_EQ(files[0].file.filter, QStringLiteral("LINEARA Database|*.MDB"));

    prompts_.AnswerOpenFile(other);
    Action(*window, "File_LoadDB")->trigger();
    EXPECT_EQ(state_.DatabasePath(), other);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" -- ") + other));
    EXPECT_EQ(window->Store().Database().CountRows(), 2);
    // The new file has no dog with the old root's number: the chart roots at its first record.
    EXPECT_EQ(state_.settings.RootDogID, 1);
}

// The registered names of every dog in a database file, in record order.
QStringList RegNames(const QString& path) {
    RecordStore store(path);
    QStringList names;
    for (store.MoveFirst(); !store.Eof(); store.MoveNext()) {
        names << store.Text(Field::RegName);
    }
    return names;
}

TEST_F(MainWindowTest, CreateANewDatabaseAsksForAValidNameAndSwitchesToIt) {
    auto window = Open();
    const QString caption = window->windowTitle();
    // Cancel and an empty answer change nothing.
    prompts_.AnswerInput(std::nullopt);
    Action(*window, "File_NewDB")->trigger();
    prompts_.AnswerInput(QString());
    Action(*window, "File_NewDB")->trigger();
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(state_.DatabasePath(), db_);

    // A forbidden character: the message, the remembered name cleared, and the prompt again.
    prompts_.Clear();
    prompts_.AnswerInput(QStringLiteral("Col\"lies"));
    prompts_.AnswerInput(QStringLiteral("Collies 2.0"));
    Action(*window, "File_NewDB")->trigger();
    const auto inputs = prompts_.ShownOfKind(ScriptedPrompts::Kind::Input);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].title, QStringLiteral("New Database"));
    EXPECT_EQ(inputs[0].text, QStringLiteral("Enter a name for your new database"));
    EXPECT_EQ(inputs[1].initial, QString());
    const auto messages = prompts_.ShownOfKind(ScriptedPrompts::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("Invalid Filename"));
    EXPECT_EQ(messages[0].icon, Prompts::Icon::Critical);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("A filename cannot contain any of the following characters:\r\\ / : * ? \" < > |"));

    // The new file sits next to the current one and holds only the placeholder, at the root.
    const QString collies = work_.File(QStringLiteral("Collies 2.0.mdb"));
    EXPECT_EQ(state_.DatabasePath(), collies);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("LINEARA v4.0 -- ") + collies);
    EXPECT_EQ(RegNames(collies), QStringList{QStringLiteral("Temporary (delete later)")});
    EXPECT_EQ(window->Model().At(1).dog, 1);
    EXPECT_EQ(RegNames(db_).size(), 3);

    // The next time the prompt offers the name typed before.
    prompts_.Clear();
    Action(*window, "File_NewDB")->trigger();
    ASSERT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Input).size(), 1u);
    EXPECT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Input)[0].initial, QStringLiteral("Collies 2.0"));
}

TEST_F(MainWindowTest, CreateANewDatabaseNeverReplacesTheCurrentOneAndAsksBeforeAnother) {
    const QString beagles = work_.File(QStringLiteral("Beagles.mdb"));
    DogDatabase::Create(beagles);
    {
        RecordStore store(beagles);
        test::AddTestDog(store, QStringLiteral("Beagle One"), true);
    }
    auto window = Open();
    const QString caption = window->windowTitle();
    // The database in use: refused, and the prompt comes back (cancelled here).
    prompts_.AnswerInput(QStringLiteral("Kennel"));
    Action(*window, "File_NewDB")->trigger();
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("New Database"));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("in use")));
    EXPECT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Input).size(), 2u);
    EXPECT_EQ(RegNames(db_).size(), 3);
    EXPECT_EQ(window->windowTitle(), caption);

    // Another file of that name: No keeps it and asks for a name again.
    prompts_.Clear();
    prompts_.AnswerInput(QStringLiteral("Beagles"));
    prompts_.AnswerMessage(Prompts::Answer::No);
    Action(*window, "File_NewDB")->trigger();
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{QStringLiteral("New Database")});
    EXPECT_EQ(prompts_.LastMessage()->buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Input).size(), 2u);
    EXPECT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Input)[1].initial, QStringLiteral("Beagles"));
    EXPECT_EQ(RegNames(beagles), QStringList{QStringLiteral("Beagle One")});
    EXPECT_EQ(state_.DatabasePath(), db_);

    // Yes replaces it with a new database.
    prompts_.AnswerInput(QStringLiteral("Beagles"));
    prompts_.AnswerMessage(Prompts::Answer::Yes);
    Action(*window, "File_NewDB")->trigger();
    EXPECT_EQ(RegNames(beagles), QStringList{QStringLiteral("Temporary (delete later)")});
    EXPECT_EQ(state_.DatabasePath(), beagles);
}

TEST_F(MainWindowTest, ACreateThatFailsLeavesNothingBehindAndTheCurrentDatabaseInUse) {
    // The name is taken by a folder that holds a file: agreeing to replace it cannot succeed.
    QDir(work_.Path()).mkpath(QStringLiteral("Collies.mdb"));
    work_.Write(QStringLiteral("Collies.mdb/keep.txt"), "keep");
    auto window = Open();
    const QString caption = window->windowTitle();
    const QStringList before = QDir(work_.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    prompts_.AnswerInput(QStringLiteral("Collies"));
    prompts_.AnswerMessage(Prompts::Answer::Yes);
    Action(*window, "File_NewDB")->trigger();
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("New Database"));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(work_.File(QStringLiteral("Collies.mdb"))));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("stays in use")));
    EXPECT_EQ(state_.DatabasePath(), db_);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(window->Store().Database().CountRows(), 3);
    EXPECT_TRUE(QFileInfo::exists(work_.File(QStringLiteral("Collies.mdb/keep.txt"))));
    EXPECT_EQ(QDir(work_.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}

TEST_F(MainWindowTest, AboutWindowShowsTheVersionAndCloses) {
    auto window = Open();
    QString title;
    QString version;
    WhenModalOpens([&](QWidget* about) {
        title = about->windowTitle();
        version = about->findChild<QWidget*>(QStringLiteral("lblVersion"))->property("text").toString();
        about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    Action(*window, "Help_About")->trigger();
    EXPECT_EQ(title, "About LINEARA");
    EXPECT_EQ(version, "Version 4.0.6");
}

TEST_F(MainWindowTest, TheCloseBoxSavesExactlyWhatExitSavesAndAFailureIsReported) {
    state_.settings.NumGens = 6;
    auto window = Open();
    Action(*window, "View_Country_Am")->trigger();
    Action(*window, "View_ChampStyle_Italic")->trigger();
    Action(*window, "View_LineStyle_Angle_Right")->trigger();
    const AppState before = state_;
    Action(*window, "File_Exit")->trigger();
    QApplication::processEvents();
    const QByteArray by_exit = SettingsBytes();
    ASSERT_EQ(by_exit.size(), 6798);

    QFile::remove(work_.File(QStringLiteral("LNR40.INI")));
    state_ = before;
    auto again = Open();
    Action(*again, "View_Country_Am")->trigger();
    Action(*again, "View_ChampStyle_Italic")->trigger();
    Action(*again, "View_LineStyle_Angle_Right")->trigger();
    again->close();
    EXPECT_EQ(SettingsBytes(), by_exit);

    const auto saved = settings::Parse(by_exit);
    EXPECT_EQ(saved->Country, 0);
    EXPECT_EQ(saved->NumGens, 6);
    EXPECT_EQ(saved->ChampItalic, -1);
    EXPECT_EQ(saved->LineDiagonal, 0);
    EXPECT_EQ(saved->RootDogID, root_);

    // A failure to write them is reported, and the window still closes.
    state_.working_directory = work_.File(QStringLiteral("missing-folder"));
    EXPECT_TRUE(Open()->close());
    EXPECT_EQ(prompts_.MessageTitles(), QStringList{"Error Saving Settings"});
}

TEST_F(MainWindowTest, ClickingAnEmptyDamPlaceOffersFemalesAndPlacesTheChosenDog) {
    RecordStore store(db_);
    const qint32 grand_dam = test::AddTestDog(store, QStringLiteral("Heatherlea Grand Dam"), false);
    state_.settings.NumGens = 3;
    auto window = Open();
    ChartWidget& chart = window->Chart();
    // Place 9 is the sire of the empty place 4: there is nobody to give it a parent.
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.CentreOf(9).toPoint());
    EXPECT_EQ(prompts_.Beeps(), 1);
    EXPECT_FALSE(chart.HighlightVisible());

    // Place 5 is the dam of place 2 (the sire), empty so far.
    ASSERT_EQ(window->Model().DogAt(5), 0);
    QString caption;
    qint16 hint = 99;
    WhenModalOpens([&](QWidget* find) {
        caption = find->windowTitle();
        hint = state_.SexHint;
        EXPECT_TRUE(chart.HighlightVisible());
        auto* text = find->findChild<QLineEdit*>(QStringLiteral("TextToFind"));
        text->setText(QStringLiteral("grand"));
        QTest::keyClick(text, Qt::Key_Return);
        auto* list = find->findChild<QListView*>(QStringLiteral("DogList"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
    });
    QTest::mouseClick(&chart, Qt::RightButton, {}, chart.CentreOf(5).toPoint());
    EXPECT_EQ(caption, "Place Dog");
    EXPECT_EQ(hint, 0);
    EXPECT_FALSE(chart.HighlightVisible());
    EXPECT_EQ(window->Model().DogAt(5), grand_dam);
    EXPECT_TRUE(window->Model().At(5).display_name.contains("Heatherlea Grand Dam"));
}

TEST_F(MainWindowTest, TheRootsPopUpMenuLeavesOutShowAndPrune) {
    auto window = Open();
    EXPECT_EQ(test::PopupItemsAt(*window, 1), QStringList({"Popup_Edit", "Popup_Change", "Popup_Delete"}));
    EXPECT_FALSE(window->Chart().HighlightVisible());
    EXPECT_TRUE(window->Menus().Action(QStringLiteral("Edit_Find"))->isEnabled());
}

TEST_F(MainWindowTest, HiddenLinesStayGreyedOutAcrossARestart) {
    auto window = Open();
    QAction* show_lines = Action(*window, "View_LineStyle_ShowLines");
    EXPECT_TRUE(show_lines->isChecked());
    show_lines->trigger();
    for (const char* name : {"View_LineStyle_Thickness", "View_LineStyle_Angle", "View_LineStyle_Offset",
                             "View_LineStyle_Colour"}) {
        EXPECT_FALSE(Action(*window, name)->isEnabled()) << name;
    }
    for (const ChartSegment& segment : window->Chart().Geometry().lines) {
        EXPECT_FALSE(segment.visible);
    }
    Action(*window, "View_LineStyle_Thickness_Thick")->trigger();
    window->close();

    auto again = Open();
    EXPECT_FALSE(Action(*again, "View_LineStyle_ShowLines")->isChecked());
    EXPECT_FALSE(Action(*again, "View_LineStyle_Angle")->isEnabled());
    EXPECT_TRUE(Action(*again, "View_LineStyle_Thickness_Thick")->isChecked());
    Action(*again, "View_LineStyle_ShowLines")->trigger();
    EXPECT_EQ(again->Chart().Geometry().line_width, 5);  // thick lines at once
}

TEST_F(MainWindowTest, ColourAndFontDialogsChangeNothingWhenCancelled) {
    auto window = Open();
    QAction* colour = Action(*window, "View_NotChStyle_Colour");
    colour->trigger();  // unscripted: cancelled
    EXPECT_FALSE(colour->isChecked());
    EXPECT_EQ(state_.settings.NotChColour, 0);

    prompts_.AnswerColour(0x00FF00);
    colour->trigger();
    EXPECT_TRUE(colour->isChecked());
    EXPECT_EQ(state_.settings.NotChColour, 0x00FF00);
    EXPECT_EQ(window->Chart().Geometry().names[1].colour, 0x00FF00);
    colour->trigger();  // unchecked: names turn black, the colour is kept for next time
    EXPECT_EQ(window->Chart().Geometry().names[1].colour, 0);
    colour->trigger();
    const auto colours = prompts_.ShownOfKind(test::ScriptedPrompts::Kind::Colour);
    EXPECT_EQ(colours.back().initial, QString::number(0x00FF00));

    Action(*window, "View_ChampStyle_Font")->trigger();  // cancelled
    EXPECT_EQ(state_.settings.ChampFontName, "Arial");
    prompts_.AnswerFont(QStringLiteral("Liberation Serif"));
    Action(*window, "View_ChampStyle_Font")->trigger();
    EXPECT_EQ(state_.settings.ChampFontName.trimmed(), "Liberation Serif");
    EXPECT_EQ(window->Chart().Geometry().names[2].font.family, "Liberation Serif");  // the champion sire
}

TEST_F(MainWindowTest, TheFlagSwitchesTheTitleStyle) {
    auto window = Open();
    ChartWidget& chart = window->Chart();
    ASSERT_FALSE(chart.Geometry().american_flag);
    EXPECT_EQ(window->Model().At(2).display_name, "Am Ch Stonebrook Sire");
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.Geometry().flag_rect.center().toPoint());
    EXPECT_TRUE(chart.Geometry().american_flag);
    EXPECT_TRUE(Action(*window, "View_Country_Am")->isChecked());
    EXPECT_FALSE(Action(*window, "View_Country_Can")->isChecked());
    EXPECT_EQ(window->Model().At(2).display_name, "Ch Stonebrook Sire");
}

TEST_F(MainWindowTest, TheChartWorksFromTheKeyboard) {
    auto window = Open();
    ChartWidget& chart = window->Chart();
    chart.setFocus();
    QTest::keyClick(&chart, Qt::Key_Right);
    QTest::keyClick(&chart, Qt::Key_Down);
    QTest::keyClick(&chart, Qt::Key_Down);  // place 3 is the last of its generation: stays
    EXPECT_EQ(chart.KeyboardPosition(), 3);
    QTest::keyClick(&chart, Qt::Key_Left);
    EXPECT_EQ(chart.KeyboardPosition(), 1);

    QString caption;
    WhenModalOpens([&](QWidget* find) {
        caption = find->windowTitle();
        find->findChild<QPushButton*>(QStringLiteral("ExitButton"))->click();
    });
    QTest::keyClick(&chart, Qt::Key_Return);
    EXPECT_EQ(caption, "Place Dog");
    EXPECT_EQ(state_.SexHint, -1);
    EXPECT_EQ(window->Model().DogAt(1), root_);  // nothing chosen, nothing changed
}

TEST_F(MainWindowTest, TheOffsetSliderRedrawsLiveAndCancelPutsTheLinesBack) {
    auto window = Open();
    ChartWidget& chart = window->Chart();
    const QLineF before = chart.Geometry().lines[2].line;
    QLineF during;
    float offset_during = 0;
    WhenModalOpens([&](QWidget* slider_form) {
        EXPECT_EQ(slider_form->windowTitle(), "Lineara Line Offset Slider");
        auto* slider = slider_form->findChild<QSlider*>(QStringLiteral("LnrLineOffsetSlider"));
        EXPECT_EQ(slider->value(), 25);
        slider->setValue(80);
        during = chart.Geometry().lines[2].line;
        offset_during = state_.settings.LineOffset;
        slider_form->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    Action(*window, "View_LineStyle_Offset")->trigger();
    EXPECT_FLOAT_EQ(offset_during, 0.80f);
    EXPECT_GT(during.p2().x(), before.p2().x());  // the line now meets the name further back
    EXPECT_FLOAT_EQ(state_.settings.LineOffset, 0.25f);
    EXPECT_EQ(chart.Geometry().lines[2].line, before);
}

}  // namespace
}  // namespace lineara
