#pragma once

#include "app/Prompts.h"

#include <QDialog>
#include <QTextBrowser>

class QTextCursor;
class QTextDocument;

namespace lineara {

// The rich-text viewer: the inbreeding and relationship report or the user's manual in a
// read-only text view, with Print, Find, Close and Help in its menu bar. Esc closes it, F1 is
// Help and F3 finds the next occurrence of the selected text.
class RTFViewerForm : public QDialog {
    Q_OBJECT

public:
    RTFViewerForm(Prompts& prompts, const QString& caption, QWidget* parent = nullptr);

    QTextEdit& Text() { return *text_; }

    void Print();
    void Find();
    void FindNext();
    void ShowHelp();

private:
    void Select(const QTextCursor& match);

    Prompts& prompts_;
    QTextBrowser* text_ = nullptr;
};

// The caption the viewer carries for a report.
inline constexpr const char* kReportCaption = "Inbreeding and Relationship Report";
inline constexpr const char* kHelpCaption = "LINEARA Help";

// Loads the report file, deletes it and shows it in the viewer, modally. When the file
// cannot be read the user is told which file and why, and no viewer opens; returns whether
// the report was shown.
bool ShowReportViewer(Prompts& prompts, const QString& report_path, QWidget* parent);

// Help > Contents: the viewer with the user's manual.
void ShowHelpViewer(Prompts& prompts, QWidget* parent);

// Puts the user's manual into a document (it is compiled into the program). Each heading is
// an anchor named after its text ("10. The coefficient ..." is "10-the-coefficient-..."), so
// that the manual's contents can link to its sections.
void LoadManual(QTextDocument& document);
QString HeadingAnchor(const QString& heading);

}  // namespace lineara
