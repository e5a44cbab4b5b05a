#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "print/ChartExport.h"
#include "print/QtCertificatePrinting.h"
#include "support/MainWindowDriver.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::ScriptedPrompts;

class PrintCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(db_);
        RecordStore store(db_);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Stonebrook Sire"), true, 0, 0,
                                             {{Field::AmCh, true}});
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Stonebrook Dam & <Co>"), false);
        root_ = test::AddTestDog(store, QStringLiteral("Stonebrook Pup"), true, sire, dam,
                                 {{Field::PrintNotes, QStringLiteral("  Whelped in the snow  ")}});
        state_ = test::WindowState(work_.Path(), db_, root_);
        state_.settings.PrintItem[kPrintNotes].Show = 1;
        window_ = test::OpenMainWindow(state_, prompts_, db_, {900, 600});
    }

    void Trigger(const char* name) {
        QAction* action = window_->Menus().Action(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }

    QString PdfText(const QString& pdf) {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput()).simplified();
    }

    test::TempWorkDir work_;
    QString db_;
    qint32 root_ = 0;
    AppState state_;
    ScriptedPrompts prompts_;
    std::unique_ptr<MainLinearaForm> window_;
};

TEST_F(PrintCommandsTest, PrintWritesThePageAndTakesTheNotesCancelSaysNothing) {
    prompts_.AnswerPrint(std::nullopt);
    Trigger("File_Print");
    EXPECT_TRUE(prompts_.AllShown().size() == 1 &&
                prompts_.AllShown()[0].kind == ScriptedPrompts::Kind::Print);

    const QString pdf = work_.File(QStringLiteral("printed.pdf"));
    prompts_.AnswerPrint(pdf);
    Trigger("File_Print");
    EXPECT_EQ(state_.settings.PrintItem[kPrintNotes].Text, QStringLiteral("Whelped in the snow"));
    const QString text = PdfText(pdf);
    for (const char* expected :
         {"Certificate of Lineara", "Stonebrook Pup", "STONEBROOK SIRE", "Whelped in the snow"}) {
        EXPECT_TRUE(text.contains(QLatin1String(expected)))
            << expected << " in " << text.toStdString();
    }
    EXPECT_TRUE(prompts_.ShownOfKind(ScriptedPrompts::Kind::Message).empty());
    EXPECT_EQ(window_->Menus().Action(QStringLiteral("File_Print"))->shortcut(),
              QKeySequence(QKeySequence::Print));
}

TEST_F(PrintCommandsTest, PrintSetupChangesThePageOfTheNextPrint) {
    prompts_.AnswerPageSetup(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    Trigger("File_PrintSetup");
    const QPageLayout layout = window_->Printing().Printer().pageLayout();
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
}

TEST_F(PrintCommandsTest, SaveLinearaWritesTheRowsTheSignatureAndSaysSo) {
    prompts_.AnswerSaveFile(QString());
    Trigger("File_Save_Tabs");
    ASSERT_EQ(prompts_.AllShown().size(), 1u);
    const ScriptedPrompts::Shown dialog = prompts_.AllShown()[0];
    EXPECT_EQ(dialog.file.title, QStringLiteral("Save This Lineara to a Text File"));
    EXPECT_EQ(dialog.file.filter, QStringLiteral("Text File|*.TXT"));
    EXPECT_EQ(dialog.file.default_suffix, QStringLiteral("TXT"));

    const QString path = work_.File(QStringLiteral("chart.TXT"));
    prompts_.AnswerSaveFile(path);
    prompts_.AnswerMessage(Prompts::Answer::Ok);
    Trigger("File_Save_Spaces");
    const QByteArray bytes = work_.Read(path);
    EXPECT_EQ(bytes,
              SavedChartText(ChartExportText(window_->Model(), window_->Menus().CurrentView(),
                                             ExportFormat::Spaces))
                  .toUtf8());
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n\r\nGenerated using Lineara v4.0.6\r\n"));
    EXPECT_TRUE(bytes.contains("STONEBROOK SIRE\r\n"));
    EXPECT_TRUE(bytes.startsWith(QByteArray(20, ' ') + "[no information]\r\n"));
    const auto messages = prompts_.ShownOfKind(ScriptedPrompts::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("File Saved"));
    EXPECT_EQ(messages[0].text, QStringLiteral("Lineara Saved as\r\n") + path);
    EXPECT_EQ(messages[0].buttons, Prompts::Buttons::Ok);

    // A folder in the way: reported, nothing claimed.
    QDir(work_.Path()).mkdir(QStringLiteral("taken.TXT"));
    prompts_.AnswerSaveFile(work_.File(QStringLiteral("taken.TXT")));
    prompts_.AnswerMessage(Prompts::Answer::Ok);
    Trigger("File_Save_Tabs");
    EXPECT_EQ(prompts_.MessageTitles().back(), QStringLiteral("Error Saving File"));
}

TEST_F(PrintCommandsTest, CopyPutsPlainTextAndTheHtmlTableOnTheClipboard) {
    const ViewState view = window_->Menus().CurrentView();
    Trigger("Edit_Copy_Text");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              ChartExportText(window_->Model(), view, ExportFormat::Tabs));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
    Trigger("Edit_Copy_HTML");
    const QString html = ChartExportText(window_->Model(), view, ExportFormat::Html);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->text(), html);
    ASSERT_TRUE(data->hasHtml());
    EXPECT_TRUE(data->html().contains(QStringLiteral("Stonebrook Dam &amp; &lt;Co&gt;")));
    EXPECT_TRUE(data->html().contains(
        QRegularExpression(QStringLiteral("<strong>[^<]*STONEBROOK SIRE</strong>"))));
}

TEST_F(PrintCommandsTest, ExportPdfOffersTheDogsNameAndWritesThePage) {
    const QString path = work_.File(QStringLiteral("pup.pdf"));
    prompts_.AnswerSaveFile(path);
    prompts_.AnswerMessage(Prompts::Answer::Ok);
    Trigger("File_ExportPdf");
    const auto files = prompts_.ShownOfKind(ScriptedPrompts::Kind::SaveFile);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].file.directory.endsWith(QStringLiteral("/Stonebrook Pup.pdf")));
    EXPECT_TRUE(PdfText(path).contains(QStringLiteral("Stonebrook Pup")));
    EXPECT_EQ(prompts_.MessageTitles().back(), QStringLiteral("File Saved"));
}

}  // namespace
}  // namespace lineara
