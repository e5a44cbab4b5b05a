#pragma once

#include <QByteArray>
#include <QString>

namespace lineara {

// Writes the whole file under a temporary name and moves it into place, so the old file
// stays whole if anything fails. Returns the reason for a failure, or an empty string.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace lineara
