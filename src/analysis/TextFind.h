#pragma once

#include <QString>
#include <QTextCursor>

#include <optional>

class QTextDocument;

namespace lineara {

// The viewer's text search, kept apart from the window so that its rules can be tested.
namespace text_find {

// Where a search starts and what it looks for.
struct Search {
    QString text;
    int from = 0;
};

// The Find command: given the selection (or the insertion point when nothing is selected)
// and the user's answer to "Enter text to find", the search to run, or nothing when the
// answer is cancelled or holds only blanks. The same text as the selection looks for the
// next occurrence after it; any other text is looked for from the start of the selection.
std::optional<Search> PlanFind(const QTextCursor& selection, const std::optional<QString>& answer);

// F3: the next occurrence of the selected text after the selection; nothing when no text is
// selected.
std::optional<Search> PlanFindNext(const QTextCursor& selection);

// Looks for the text from the character index to the end of the document, without regard to
// letter case. The match as a selection, or a null cursor when there is none.
QTextCursor FindInText(const QTextDocument& document, const Search& search);

// The selected text as the user sees it: paragraph breaks become line feeds.
QString SelectedText(const QTextCursor& selection);

}  // namespace text_find

}  // namespace lineara
