#include "analysis/RTFViewerForm.h"

#include "analysis/ReportLoader.h"
#include "analysis/TextFind.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextTable>
#include <QUrl>
#include <QVBoxLayout>

namespace lineara {

namespace {

// The viewer's own font: Courier New, 12 points, drawn with its metric twin.
QFont ViewerFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(12);
    return font;
}

}  // namespace

RTFViewerForm::RTFViewerForm(Prompts& prompts, const QString& caption, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("RTFViewerForm"));
    setWindowTitle(caption);
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* menu_bar = new QMenuBar(this);
    menu_bar->setObjectName(QStringLiteral("RTFViewerMenus"));
    const auto add = [this, menu_bar](const char* name, const QString& caption_text,
                                      void (RTFViewerForm::*slot)()) {
        QAction* action = menu_bar->addAction(caption_text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    add("Print", QStringLiteral("&Print"), &RTFViewerForm::Print);
    add("Find", QStringLiteral("&Find"), &RTFViewerForm::Find);
    QAction* close_action = menu_bar->addAction(QStringLiteral("&Close"));
    close_action->setObjectName(QStringLiteral("Close"));
    connect(close_action, &QAction::triggered, this, &QDialog::reject);
    add("Help", QStringLiteral("&Help"), &RTFViewerForm::ShowHelp);

    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("RichTextBox1"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                   Qt::LinksAccessibleByMouse);
    // Links only ever lead to another place in the same text (the manual's contents).
    text_->setOpenLinks(false);
    text_->setOpenExternalLinks(false);
    connect(text_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.hasFragment())
            text_->scrollToAnchor(url.fragment());
    });
    text_->setUndoRedoEnabled(false);
    text_->document()->setDefaultFont(ViewerFont());
    text_->setLineWrapMode(QTextEdit::WidgetWidth);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu_bar);
    layout->addWidget(text_);

    auto* help_key = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help_key, &QShortcut::activated, this, &RTFViewerForm::ShowHelp);
    auto* next_key = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(next_key, &QShortcut::activated, this, &RTFViewerForm::FindNext);
    // Esc closes the window as any dialog's does.

    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() * 8 / 10, available.height() * 8 / 10);
        move(available.center() - rect().center());
    }
    text_->setFocus();
}

void RTFViewerForm::Select(const QTextCursor& match) {
    if (match.isNull()) {
        return;  // not found: the selection stays as it was, without a word
    }
    const bool was_visible = text_->viewport()->rect().contains(text_->cursorRect(match));
    text_->setTextCursor(match);
    if (!was_visible) {
        // A match brought into view stands in the middle of the window, not at its edge.
        QScrollBar* bar = text_->verticalScrollBar();
        bar->setValue(bar->value() + text_->cursorRect().center().y() -
                      text_->viewport()->height() / 2);
    }
    text_->ensureCursorVisible();
}

void RTFViewerForm::Find() {
    const QTextCursor selection = text_->textCursor();
    const QString initial =
        selection.hasSelection() ? text_find::SelectedText(selection) : QString();
    const std::optional<QString> answer =
        prompts_.Input(QStringLiteral("Find Text"), QStringLiteral("Enter text to find"), initial);
    if (const std::optional<text_find::Search> search = text_find::PlanFind(selection, answer)) {
        Select(text_find::FindInText(*text_->document(), *search));
    }
}

void RTFViewerForm::FindNext() {
    if (const std::optional<text_find::Search> search =
            text_find::PlanFindNext(text_->textCursor())) {
        Select(text_find::FindInText(*text_->document(), *search));
    }
}

void RTFViewerForm::Print() {
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer on this machine: the dialog starts on a PDF file in the documents folder.
        printer.setOutputFormat(QPrinter::PdfFormat);
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::currentPath();
        const QString name = windowTitle() == QLatin1String(kHelpCaption)
                                 ? QStringLiteral("LINEARA Help.pdf")
                                 : QStringLiteral("Inbreeding Report.pdf");
        printer.setOutputFileName(QDir(folder).filePath(name));
    }
    const QTextCursor selection = text_->textCursor();
    const bool has_selection = selection.hasSelection();
    if (has_selection) {
        // Highlighted text is what the user means to print, unless the dialog says otherwise.
        printer.setPrintRange(QPrinter::Selection);
    }
    const std::optional<Prompts::PrintChoice> choice =
        prompts_.ChoosePrinter(printer, has_selection);
    if (!choice) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (choice->selection_only && has_selection) {
        QTextDocument part;
        part.setDefaultFont(text_->document()->defaultFont());
        QTextCursor(&part).insertFragment(selection.selection());
        part.print(&printer);
    } else {
        text_->document()->print(&printer);
    }
    QApplication::restoreOverrideCursor();
    if (printer.printerState() == QPrinter::Error) {
        const QString where = printer.outputFileName().isEmpty()
                                  ? printer.printerName()
                                  : QDir::toNativeSeparators(printer.outputFileName());
        prompts_.Message(QStringLiteral("Print"),
                         QStringLiteral("The text could not be printed to %1.").arg(where),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
}

void RTFViewerForm::ShowHelp() {
    prompts_.Message(
        QStringLiteral("Help"),
        QStringLiteral(
            "- Click on Print to print all text.\r"
            "- Highlight the desired text and then click on Print to print only that text.\r"
            "- Right-click selected text to copy it to the Windows clipboard.\r"
            "- Click on Find to find text.\r"
            "- Pressing [F3] will find the next instance of the currently highlighted text.\r"
            "- Click on Close when you are done."));
}

bool ShowReportViewer(Prompts& prompts, const QString& report_path, QWidget* parent) {
    RTFViewerForm viewer(prompts, QString::fromLatin1(kReportCaption), parent);
    const QString problem = LoadReportFile(report_path, *viewer.Text().document());
    if (!problem.isEmpty()) {
        prompts.Message(
            QString::fromLatin1(kReportCaption),
            QStringLiteral("The report file %1 could not be read:\n%2")
                .arg(QDir::toNativeSeparators(QFileInfo(report_path).absoluteFilePath()), problem),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    viewer.Text().moveCursor(QTextCursor::Start);
    viewer.exec();
    return true;
}

void LoadManual(QTextDocument& document) {
    QFile file(QStringLiteral(":/manual.md"));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(file.readAll());
    }
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(11);
    document.setDefaultFont(font);
    document.setDocumentMargin(24);
    document.setMarkdown(text);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) {
            QTextCursor heading(block);
            heading.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextCharFormat anchor;
            anchor.setAnchor(true);
            anchor.setAnchorNames({HeadingAnchor(block.text())});
            heading.mergeCharFormat(anchor);
        }
    }
    // Tables read better with some room in their cells.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextTable* table = QTextCursor(block).currentTable()) {
            QTextTableFormat format = table->format();
            if (format.cellPadding() < 4) {
                format.setCellPadding(4);
                format.setCellSpacing(0);
                format.setBorderCollapse(true);
                table->setFormat(format);
            }
        }
    }
}

QString HeadingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() && c.unicode() < 128) {
            anchor += c;
        } else if (!anchor.isEmpty() && !anchor.endsWith(u'-')) {
            anchor += u'-';
        }
    }
    while (anchor.endsWith(u'-'))
        anchor.chop(1);
    return anchor;
}

void ShowHelpViewer(Prompts& prompts, QWidget* parent) {
    RTFViewerForm viewer(prompts, QString::fromLatin1(kHelpCaption), parent);
    LoadManual(*viewer.Text().document());
    viewer.Text().moveCursor(QTextCursor::Start);
    viewer.exec();
}

}  // namespace lineara
