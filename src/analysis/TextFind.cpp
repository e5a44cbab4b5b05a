#include "analysis/TextFind.h"

#include <QTextDocument>

#include <algorithm>

namespace lineara::text_find {

QString SelectedText(const QTextCursor& selection) {
    QString text = selection.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

std::optional<Search> PlanFind(const QTextCursor& selection, const std::optional<QString>& answer) {
    if (!answer) {
        return std::nullopt;
    }
    const QString wanted = answer->trimmed();
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    if (!selection.hasSelection()) {
        return Search{wanted, selection.position()};
    }
    // The search itself ignores letter case, so the selection a search made counts as the
    // same text whatever case the user typed it in.
    if (wanted.compare(SelectedText(selection), Qt::CaseInsensitive) == 0) {
        return Search{wanted, selection.selectionEnd()};
    }
    return Search{wanted, selection.selectionStart()};
}

std::optional<Search> PlanFindNext(const QTextCursor& selection) {
    if (!selection.hasSelection()) {
        return std::nullopt;
    }
    return Search{SelectedText(selection), selection.selectionEnd()};
}

QTextCursor FindInText(const QTextDocument& document, const Search& search) {
    if (search.text.isEmpty()) {
        return {};
    }
    QTextCursor from(const_cast<QTextDocument*>(&document));
    from.setPosition(std::clamp(search.from, 0, document.characterCount() - 1));
    return document.find(search.text, from);
}

}  // namespace lineara::text_find
