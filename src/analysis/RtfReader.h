#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace lineara {

// Reads rich text (RTF) into a text document: the plain subset the inbreeding report and
// most word processors' simple files use — groups, bold, italic, underline, font sizes,
// paragraph alignment, the font table, non-breaking spaces, tabs and line breaks, Unicode
// escapes (\uN) and code-page escapes (\'hh). Everything else (pictures, style sheets,
// document information, unknown control words) is skipped.
//
// Any byte sequence is accepted: braces that do not balance, a file that stops part-way,
// absurd numbers and deep nesting are shown as far as they make sense, never with a crash,
// and in time and memory that grow with the size of the input only.
class RtfReader {
public:
    struct Result {
        // False when the text does not start like rich text ("{\rtf"); it is then shown as
        // the reader understood it, which for plain text is the text itself.
        bool looks_like_rtf = false;
        // False when the file ended before its outermost group was closed.
        bool complete = false;
        int paragraphs = 0;
    };

    // Replaces the document's content with the rich text. The families of well-known
    // Windows fonts are mapped to their metric-compatible Liberation fonts, so that
    // Courier New text keeps its columns.
    static Result Read(const QByteArray& rtf, QTextDocument& document);

    // The installed family the program draws a Windows font name with.
    static QString MapFontFamily(const QString& family);
};

}  // namespace lineara
