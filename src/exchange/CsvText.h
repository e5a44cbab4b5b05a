#pragma once

#include <QByteArray>
#include <QString>

namespace lineara {

// A spreadsheet runs a cell that begins with "=", "+", "-" or "@" as a formula. Exported texts
// that would be read so get a leading apostrophe; so that texts survive the trip both ways, a
// text that already begins with apostrophes before such a character gets one more.
bool NeedsFormulaGuard(QStringView text);
// The import's side: removes the one apostrophe the export added.
QString RemoveFormulaGuard(const QString& text);

// Appends one field as RFC 4180 writes it (quoted when it holds the delimiter, a quote or a
// line break). `guard` applies the formula rule above.
void AppendCsvField(QByteArray& out, const char* utf8, qsizetype size, bool guard,
                    char delimiter = ',');
void AppendCsvField(QByteArray& out, const QString& text, bool guard, char delimiter = ',');

}  // namespace lineara
