#include "analysis/RTFViewerForm.h"
#include "analysis/TextFind.h"
#include "support/FindChild.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace lineara {
namespace {

using test::FindChild;
using test::ScriptedPrompts;

const QString kText = QStringLiteral("Grandsire Grandsire\nthe grandsire of Dam\nGrandsire");

class RTFViewerFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer_ = std::make_unique<RTFViewerForm>(
            prompts_, QStringLiteral("Inbreeding and Relationship Report"));
        viewer_->Text().setPlainText(kText);
    }

    void SelectRange(int start, int end) {
        QTextCursor cursor(viewer_->Text().document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        viewer_->Text().setTextCursor(cursor);
    }
    void PlaceCursor(int position) { SelectRange(position, position); }

    std::pair<int, int> Selection() const {
        const QTextCursor cursor = viewer_->Text().textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }

    ScriptedPrompts prompts_;
    std::unique_ptr<RTFViewerForm> viewer_;
};

TEST_F(RTFViewerFormTest, MenuBarCaptionSizeAndReadOnlyView) {
    EXPECT_EQ(viewer_->windowTitle(), QStringLiteral("Inbreeding and Relationship Report"));
    QMenuBar* bar = FindChild<QMenuBar>(*viewer_, "RTFViewerMenus");
    ASSERT_NE(bar, nullptr);
    QStringList captions, names;
    for (QAction* action : bar->actions()) {
        captions << action->text();
        names << action->objectName();
    }
    EXPECT_EQ(captions, QStringList({"&Print", "&Find", "&Close", "&Help"}));
    EXPECT_EQ(names, QStringList({"Print", "Find", "Close", "Help"}));
    EXPECT_TRUE(viewer_->Text().isReadOnly());
    EXPECT_EQ(viewer_->Text().objectName(), QStringLiteral("RichTextBox1"));
    // Courier New, 12 points, drawn with its metric twin.
    EXPECT_EQ(viewer_->Text().document()->defaultFont().family(),
              QStringLiteral("Liberation Mono"));
    EXPECT_EQ(viewer_->Text().document()->defaultFont().pointSize(), 12);

    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(viewer_->width(), screen.width() * 8 / 10);
    EXPECT_EQ(viewer_->height(), screen.height() * 8 / 10);
    EXPECT_LE(std::abs(viewer_->geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(viewer_->geometry().center().y() - screen.center().y()), 1);
}

TEST_F(RTFViewerFormTest, FindFollowsTheSelectionRules) {
    // Nothing selected: from the insertion point; the search ignores letter case.
    PlaceCursor(5);
    prompts_.AnswerInput(QStringLiteral("  grandsire "));
    viewer_->Find();
    EXPECT_EQ(prompts_.AllShown().back().title, QStringLiteral("Find Text"));
    EXPECT_EQ(prompts_.AllShown().back().text, QStringLiteral("Enter text to find"));
    EXPECT_EQ(prompts_.AllShown().back().initial, QString());
    EXPECT_EQ(Selection(), std::make_pair(10, 19));

    // The same text again: the next occurrence; the input box offers the selection.
    prompts_.AnswerInput(QStringLiteral("Grandsire"));
    viewer_->Find();
    EXPECT_EQ(prompts_.AllShown().back().initial, QStringLiteral("Grandsire"));
    EXPECT_EQ(Selection(), std::make_pair(24, 33));

    // Other text: looked for from the start of the selection, so a match inside it counts.
    SelectRange(20, 33);  // "the grandsire"
    prompts_.AnswerInput(QStringLiteral("grand"));
    viewer_->Find();
    EXPECT_EQ(Selection(), std::make_pair(24, 29));

    // Blanks only, Cancel, and text that is not there change nothing.
    for (const std::optional<QString>& answer :
         {std::optional<QString>(QStringLiteral("   ")), std::optional<QString>(),
          std::optional<QString>("Sire of Dam!")}) {
        prompts_.AnswerInput(answer);
        viewer_->Find();
        EXPECT_EQ(Selection(), std::make_pair(24, 29));
    }
    // Past the last occurrence the selection stays where it is.
    SelectRange(41, 50);
    prompts_.AnswerInput(QStringLiteral("Grandsire"));
    viewer_->Find();
    EXPECT_EQ(Selection(), std::make_pair(41, 50));
    EXPECT_TRUE(prompts_.ScriptUsedUp());
    EXPECT_TRUE(prompts_.ShownOfKind(ScriptedPrompts::Kind::Message).empty());
}

TEST_F(RTFViewerFormTest, F3FindsTheNextOccurrenceWithoutAsking) {
    viewer_->show();
    QApplication::processEvents();
    PlaceCursor(0);
    QTest::keyClick(&viewer_->Text(), Qt::Key_F3);
    EXPECT_EQ(Selection(), std::make_pair(0, 0));  // nothing selected: nothing happens

    SelectRange(0, 9);
    QTest::keyClick(&viewer_->Text(), Qt::Key_F3);
    EXPECT_EQ(Selection(), std::make_pair(10, 19));
    QTest::keyClick(&viewer_->Text(), Qt::Key_F3);
    EXPECT_EQ(Selection(), std::make_pair(24, 33));
    QTest::keyClick(&viewer_->Text(), Qt::Key_F3);
    EXPECT_EQ(Selection(), std::make_pair(41, 50));
    QTest::keyClick(&viewer_->Text(), Qt::Key_F3);
    EXPECT_EQ(Selection(), std::make_pair(41, 50));  // the last one: it stays selected
    EXPECT_TRUE(prompts_.AllShown().empty());
}

TEST_F(RTFViewerFormTest, HelpKeysCopyAndEscape) {
    viewer_->show();
    QApplication::processEvents();
    QTest::keyClick(&viewer_->Text(), Qt::Key_F1);
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_EQ(prompts_.LastMessage()->title, QStringLiteral("Help"));
    EXPECT_EQ(prompts_.LastMessage()->text,
              QStringLiteral(
                  "- Click on Print to print all text.\r"
                  "- Highlight the desired text and then click on Print to print only that text.\r"
                  "- Right-click selected text to copy it to the Windows clipboard.\r"
                  "- Click on Find to find text.\r"
                  "- Pressing [F3] will find the next instance of the currently highlighted text.\r"
                  "- Click on Close when you are done."));
    FindChild<QMenuBar>(*viewer_, "RTFViewerMenus")->actions()[3]->trigger();
    EXPECT_EQ(prompts_.ShownOfKind(ScriptedPrompts::Kind::Message).size(), 2u);

    SelectRange(20, 33);
    QApplication::clipboard()->clear();
    QTest::keyClick(&viewer_->Text(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the grandsire"));
    // Typing does not change the text.
    QTest::keyClicks(&viewer_->Text(), QStringLiteral("xyz"));
    EXPECT_EQ(viewer_->Text().toPlainText(), kText);

    QTest::keyClick(&viewer_->Text(), Qt::Key_Escape);
    EXPECT_FALSE(viewer_->isVisible());
}

TEST_F(RTFViewerFormTest, PrintOffersTheSelectionAndCancelPrintsNothing) {
    test::TempWorkDir work;
    const QString all = work.File(QStringLiteral("all.pdf"));
    const QString part = work.File(QStringLiteral("part.pdf"));
    const QString cancelled = work.File(QStringLiteral("cancelled.pdf"));
    viewer_->Text().setPlainText(QString(kText + u'\n').repeated(200));

    PlaceCursor(0);
    prompts_.AnswerPrint(all);
    viewer_->Print();
    EXPECT_EQ(prompts_.AllShown().back().text, QString());  // no selection to offer

    SelectRange(0, 9);
    prompts_.AnswerPrint(part, true);
    viewer_->Print();
    EXPECT_EQ(prompts_.AllShown().back().text, QStringLiteral("selection"));

    prompts_.AnswerPrint(std::nullopt);
    viewer_->Print();

    ASSERT_TRUE(QFileInfo::exists(all));
    ASSERT_TRUE(QFileInfo::exists(part));
    EXPECT_FALSE(QFileInfo::exists(cancelled));
    // The whole text runs to several pages, the selected word to one.
    EXPECT_GT(QFileInfo(all).size(), QFileInfo(part).size());
    EXPECT_TRUE(prompts_.ShownOfKind(ScriptedPrompts::Kind::Message).empty());

    // A PDF that cannot be written is reported, not passed over.
    prompts_.AnswerPrint(work.File(QStringLiteral("no such folder/out.pdf")));
    viewer_->Print();
    ASSERT_NE(prompts_.LastMessage(), nullptr);
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(QStringLiteral("out.pdf")));
}

// Drives the modal viewer the next call opens, then closes it.
void WhenViewerOpens(std::function<void(RTFViewerForm&)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        auto* viewer = qobject_cast<RTFViewerForm*>(QApplication::activeModalWidget());
        ASSERT_NE(viewer, nullptr);
        step(*viewer);
        viewer->reject();
    });
}

TEST(RTFViewerEntryTest, ReportIsLoadedDeletedAndShown) {
    test::TempWorkDir work;
    ScriptedPrompts prompts;
    const QString path = work.Write(
        QStringLiteral("$$TEMP19690210$$.$$$"),
        "{\\rtf\\ansi\\deff0{\\fonttbl {\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n"
        "\\qc\\b\\ul\\fs36Inbreeding and Relationship Report\\ulnone\\par\\b0\r\n}\r\n");
    bool file_gone = false;
    QString caption, text;
    WhenViewerOpens([&](RTFViewerForm& viewer) {
        file_gone = !QFileInfo::exists(path);
        caption = viewer.windowTitle();
        text = viewer.Text().document()->firstBlock().text();
    });
    EXPECT_TRUE(ShowReportViewer(prompts, path, nullptr));
    EXPECT_TRUE(file_gone);
    EXPECT_EQ(caption, QStringLiteral("Inbreeding and Relationship Report"));
    EXPECT_EQ(text, QStringLiteral("Inbreeding and Relationship Report"));
    EXPECT_TRUE(prompts.AllShown().empty());

    // A report that cannot be read: a message naming the file, and no viewer.
    EXPECT_FALSE(ShowReportViewer(prompts, path, nullptr));
    ASSERT_NE(prompts.LastMessage(), nullptr);
    EXPECT_TRUE(prompts.LastMessage()->text.contains(QStringLiteral("$$TEMP19690210$$.$$$")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(RTFViewerEntryTest, HelpContentsShowsTheManual) {
    test::TempWorkDir work;
    ScriptedPrompts prompts;
    // A report left behind is not what the user asked for here.
    QString caption, text;
    WhenViewerOpens([&](RTFViewerForm& viewer) {
        caption = viewer.windowTitle();
        text = viewer.Text().toPlainText();
    });
    ShowHelpViewer(prompts, nullptr);
    EXPECT_EQ(caption, QStringLiteral("LINEARA Help"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("LINEARA User's Manual")));
}

// The contents of the manual link to its sections; a renamed heading must not leave a dead link.
TEST(RTFViewerEntryTest, TheManualsLinksLeadToItsHeadings) {
    QTextDocument manual;
    LoadManual(manual);
    QStringList links, anchors;
    for (QTextBlock block = manual.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isAnchor())
                continue;
            if (!format.anchorHref().isEmpty())
                links << format.anchorHref();
            anchors << format.anchorNames();
        }
    }
    EXPECT_EQ(links.size(), 15);
    for (const QString& link : links) {
        ASSERT_TRUE(link.startsWith(u'#')) << link.toStdString();
        EXPECT_TRUE(anchors.contains(link.mid(1))) << link.toStdString();
    }
    EXPECT_EQ(HeadingAnchor(QStringLiteral("11. Database files, merging and clean-up")),
              QStringLiteral("11-database-files-merging-and-clean-up"));

    test::TempWorkDir work;
    ScriptedPrompts prompts;
    int before = -1, after = -1;
    WhenViewerOpens([&](RTFViewerForm& viewer) {
        viewer.resize(800, 600);
        QApplication::processEvents();
        auto* browser = qobject_cast<QTextBrowser*>(&viewer.Text());
        ASSERT_NE(browser, nullptr);
        before = browser->verticalScrollBar()->value();
        emit browser->anchorClicked(QUrl(QStringLiteral("#14-keys")));
        after = browser->verticalScrollBar()->value();
    });
    ShowHelpViewer(prompts, nullptr);
    EXPECT_EQ(before, 0);
    EXPECT_GT(after, 0);
}

}  // namespace
}  // namespace lineara
