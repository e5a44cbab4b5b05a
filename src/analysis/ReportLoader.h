#pragma once

#include <QString>

class QTextDocument;

namespace lineara {

// Reads a report file into a document and deletes the file, so that the report lives only
// in the viewer from then on. An empty string on success; otherwise a reason the user can
// read (the file is then left where it is).
QString LoadReportFile(const QString& path, QTextDocument& document);

// Larger files are refused: no report comes near this size.
inline constexpr qint64 kMaxReportBytes = 64LL * 1024 * 1024;

}  // namespace lineara
