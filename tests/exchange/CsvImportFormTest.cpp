#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "exchange/CsvImportForm.h"
#include "exchange/QtCsvCommands.h"
#include "store/DogDatabase.h"
#include "store/FailAfter.h"
#include "store/RecordStore.h"
#include "support/FindChild.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

namespace lineara {
namespace {

using test::FindChild;
using test::ScriptedPrompts;

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void WhenModalOpens(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        step(modal);
    });
}

QStringList ListTexts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

QStringList HeaderTexts(const QTableWidget& table) {
    QStringList texts;
    for (int i = 0; i < table.columnCount(); ++i) {
        texts << table.horizontalHeaderItem(i)->text();
    }
    return texts;
}

// A litter list as a spreadsheet writes it (semicolons), with one bad date, one sex that is
// neither, a row without a name, a dam named nowhere and a column LINEARA does not know.
const char kLitter[] =
    "Name;Sex;Born;Sire;Dam;Colour;Kennel club\r\n"
    "Stonebrook Rover;Male;2020-01-02;Stonebrook Sire;Stonebrook Bess;Black;KC 1\r\n"
    "Stonebrook Bess;F;someday;;;Tan;KC 2\r\n"
    ";M;2020-01-02;;;;KC 3\r\n"
    "Stonebrook Tiger;X;;;Nobody Known;;KC 4\r\n";

class CsvImportFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(db_);
        {
            RecordStore store(db_);
            sire_ = test::AddTestDog(store, QStringLiteral("Stonebrook Sire"), true);
        }
        csv_ = work_.File(QStringLiteral("litter.csv"));
        Write(csv_, kLitter);
        store_.Open(db_);
    }

    std::unique_ptr<CsvImportForm> Form() {
        return std::make_unique<CsvImportForm>(store_.Database(), csv_, prompts_, [this](qint32 id) { shown_.push_back(id); });
    }

    test::TempWorkDir work_;
    QString db_;
    QString csv_;
    qint32 sire_ = 0;
    RecordStore store_;
    ScriptedPrompts prompts_;
    std::vector<qint32> shown_;
};

TEST_F(CsvImportFormTest, ThePreviewShowsMappingRowsProblemsAndCountsAndChangesNothing) {
    const QStringList before = test::SnapshotRows(db_);
    auto form = Form();
    QStringList mapped;
    for (int c = 0; c < 7; ++c) {
        mapped << FindChild<QComboBox>(*form, QStringLiteral("Map%1").arg(c).toLatin1().constData())->currentText();
    }
    EXPECT_EQ(mapped, QStringList({"RegName", "SexMale", "DOB", "SireName", "DamName", "Description", "(not imported)"}));
    EXPECT_TRUE(FindChild<QLabel>(*form, "FileLabel")->text().contains(QStringLiteral("separated by semicolons")));

    auto* rows = FindChild<QTableWidget>(*form, "PreviewRows");
    EXPECT_EQ(HeaderTexts(*rows), QStringList({"RegName", "SexMale", "DOB", "SireName", "DamName", "Description"}));
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->item(0, 0)->text(), QStringLiteral("Stonebrook Rover"));
    EXPECT_EQ(rows->item(0, 1)->text(), QStringLiteral("Y"));
    EXPECT_EQ(rows->item(1, 2)->text(), QString());

    const QStringList problems = ListTexts(*FindChild<QListWidget>(*form, "Problems"));
    const auto has = [&](const char* text) {
        return std::any_of(problems.begin(), problems.end(), [&](const QString& p) { return p.startsWith(QLatin1String(text)); });
    };
    EXPECT_TRUE(has("Row 3: The date \"someday\" cannot be read")) << problems.join('\n').toStdString();
    EXPECT_TRUE(has("Row 4: The row has no registered name and is skipped."));
    EXPECT_TRUE(has("Row 5: The sex \"X\" is neither male nor female"));
    EXPECT_TRUE(has("Row 5: The dam \"Nobody Known\" is named nowhere"));
    const QString counts = FindChild<QLabel>(*form, "Counts")->text();
    EXPECT_TRUE(counts.startsWith(QStringLiteral("3 rows will be imported as new dogs, 1 row is skipped"))) << counts.toStdString();
    EXPECT_TRUE(counts.contains(QStringLiteral("2 parents are linked")));
    EXPECT_EQ(test::SnapshotRows(db_), before);

    // Changing a mapping runs the preview again; the column's values follow it.
    form->MapColumn(5, kNoTarget);
    form->MapColumn(6, IndexOf(Field::OtherID));
    EXPECT_EQ(HeaderTexts(*rows), QStringList({"RegName", "SexMale", "DOB", "SireName", "DamName", "OtherID"}));
    EXPECT_EQ(rows->item(2, 5)->text(), QStringLiteral("KC 4"));
    // Two columns on one field: the second is shown as not imported.
    form->MapColumn(1, IndexOf(Field::RegName));
    EXPECT_EQ(FindChild<QComboBox>(*form, "Map1")->currentText(), QStringLiteral("(not imported)"));
    form->MapColumn(1, IndexOf(Field::SexMale));
    // Without a column of names nothing can be imported.
    form->MapColumn(0, kNoTarget);
    EXPECT_FALSE(FindChild<QPushButton>(*form, "ImportButton")->isEnabled());
    EXPECT_TRUE(FindChild<QLabel>(*form, "Counts")->text().startsWith(QStringLiteral("Nothing can be imported")));
    form->MapColumn(0, IndexOf(Field::RegName));
    EXPECT_TRUE(FindChild<QPushButton>(*form, "ImportButton")->isEnabled());

    FindChild<QPushButton>(*form, "CancelButton")->click();
    EXPECT_FALSE(form->Completed());
    EXPECT_EQ(test::SnapshotRows(db_), before);
}

TEST_F(CsvImportFormTest, ImportAddsTheRowsLinksTheParentsAndAsksHowToCleanUp) {
    auto form = Form();
    form->MapColumn(6, IndexOf(Field::OtherID));
    prompts_.AnswerMessage(Prompts::Answer::No);  // automatic clean-up
    FindChild<QPushButton>(*form, "ImportButton")->click();
    ASSERT_TRUE(form->Completed());
    EXPECT_TRUE(prompts_.MessageTitles().contains(QStringLiteral("Eliminate Duplicates: Interactive?")));
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Import Complete"));
    EXPECT_TRUE(prompts_.LastMessage()->text.startsWith(QStringLiteral("3 dogs imported from\n")));

    DogDatabase& db = store_.Database();
    EXPECT_EQ(db.CountRows(), 4);
    const qint32 rover = db.FindNextId(Criterion::ByRegName(QStringLiteral("Stonebrook Rover")), 0);
    const qint32 bess = db.FindNextId(Criterion::ByRegName(QStringLiteral("Stonebrook Bess")), 0);
    ASSERT_GT(rover, 0);
    const auto row = db.ReadRow(rover);
    EXPECT_EQ(row->Long(Field::SireID), sire_);
    EXPECT_EQ(row->Long(Field::DamID), bess);
    EXPECT_EQ(row->Text(Field::OtherID), QStringLiteral("KC 1"));
    EXPECT_EQ(row->Text(Field::Description), QStringLiteral("Black"));
    EXPECT_TRUE(row->Flag(Field::SexMale));
}

TEST_F(CsvImportFormTest, AFailurePartWayLeavesEveryRowAsItWasAndSaysSo) {
    const QStringList before = test::SnapshotRows(db_);
    for (const qint64 k : {1, 2, 3, 4, 5}) {
        prompts_.Clear();
        auto form = Form();
        FailAfter fail(k);
        form->fail_after = &fail;
        prompts_.AnswerMessage(Prompts::Answer::No);
        FindChild<QPushButton>(*form, "ImportButton")->click();
        EXPECT_FALSE(form->Completed()) << k;
        ASSERT_NE(prompts_.LastMessage(), nullptr);
        EXPECT_TRUE(prompts_.LastMessage()->text.endsWith(QStringLiteral("The current database was not changed."))) << k;
        EXPECT_EQ(test::SnapshotRows(db_), before) << k;
    }
}

class CsvMainWindowTest : public CsvImportFormTest {
protected:
    std::unique_ptr<MainLinearaForm> Open() {
        state_.working_directory = work_.Path();
        state_.settings = RestoreDefaultSettings();
        state_.settings.DatabaseFile = db_;
        state_.settings.RootDogID = sire_;
        store_.Close();
        auto window = std::make_unique<MainLinearaForm>(state_, prompts_, std::make_unique<RecordStore>(db_));
        window->Load();
        window->resize(1000, 700);
        window->show();
        QApplication::processEvents();
        return window;
    }
    AppState state_;
};

TEST_F(CsvMainWindowTest, TheFileMenuImportsAndExportsThroughItsDialogs) {
    auto window = Open();
    QAction* import = window->Menus().Action(QStringLiteral("File_ImportCsv"));
    QAction* export_csv = window->Menus().Action(QStringLiteral("File_ExportCsv"));
    ASSERT_NE(import, nullptr);
    ASSERT_NE(export_csv, nullptr);
    EXPECT_EQ(import->text(), QStringLiteral("Imp&ort Dogs (CSV)\u2026"));
    EXPECT_TRUE(import->isEnabled());
    const QStringList before = test::SnapshotRows(db_);

    // A cancelled open dialog, a file that is not text, and Cancel in the dialog change nothing.
    import->trigger();
    const QString binary = work_.File(QStringLiteral("photo.csv"));
    Write(binary, QByteArray("Name\r\nRex\0\0", 11));
    prompts_.AnswerOpenFile(binary);
    import->trigger();
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Import Dogs (CSV)"));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("NUL byte")));
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("photo.csv")));
    prompts_.AnswerOpenFile(csv_);
    WhenModalOpens([](QWidget* modal) { FindChild<QPushButton>(*modal, "CancelButton")->click(); });
    import->trigger();
    EXPECT_EQ(test::SnapshotRows(db_), before);
    const auto files = prompts_.ShownOfKind(ScriptedPrompts::Kind::OpenFile);
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front().title, QStringLiteral("Import dogs from a CSV file"));
    EXPECT_EQ(files.front().file.filter, QStringLiteral("CSV file|*.csv"));

    prompts_.AnswerOpenFile(csv_);
    prompts_.AnswerMessage(Prompts::Answer::No);
    WhenModalOpens([](QWidget* modal) { FindChild<QPushButton>(*modal, "ImportButton")->click(); });
    import->trigger();
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Import Complete"));
    EXPECT_EQ(window->Store().Database().CountRows(), 4);

    // The export: the save dialog, then the choice of dogs; Cancel there writes nothing.
    const QString out = work_.File(QStringLiteral("out.csv"));
    prompts_.AnswerSaveFile(out);
    WhenModalOpens([](QWidget* modal) { FindChild<QPushButton>(*modal, "CancelButton")->click(); });
    export_csv->trigger();
    EXPECT_FALSE(QFile::exists(out));
    const auto saves = prompts_.ShownOfKind(ScriptedPrompts::Kind::SaveFile);
    ASSERT_FALSE(saves.empty());
    EXPECT_EQ(saves.back().title, QStringLiteral("Export dogs to a CSV file"));
    EXPECT_EQ(saves.back().file.filter, QStringLiteral("CSV file|*.csv"));

    prompts_.AnswerSaveFile(out);
    WhenModalOpens([](QWidget* modal) { FindChild<QPushButton>(*modal, "OKButton")->click(); });
    export_csv->trigger();
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("File Saved"));
    QFile all(out);
    ASSERT_TRUE(all.open(QIODevice::ReadOnly));
    EXPECT_EQ(all.readAll().count("\r\n"), 5);  // header + 4 dogs
    all.close();

    // Only the root's ancestry: the root (Stonebrook Sire) has no parents, so one dog.
    prompts_.AnswerSaveFile(out);
    WhenModalOpens([](QWidget* modal) {
        FindChild<QRadioButton>(*modal, "Ancestry")->setChecked(true);
        FindChild<QPushButton>(*modal, "OKButton")->click();
    });
    export_csv->trigger();
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("File Saved"));
    EXPECT_TRUE(prompts_.LastMessage()->text.startsWith(QStringLiteral("1 Dog Saved as")));
    QFile one(out);
    ASSERT_TRUE(one.open(QIODevice::ReadOnly));
    EXPECT_EQ(one.readAll().count("\r\n"), 2);
}

}  // namespace
}  // namespace lineara
