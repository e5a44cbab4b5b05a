#pragma once

#include <QByteArray>
#include <QString>

namespace lineara::cp1252 {

// The Windows Western code page, used by the settings file's fixed texts and the old data
// file. Decoding maps every byte; encoding writes '?' for characters the code page lacks.
QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& text);
// The character that a single byte stands for.
QChar CharOf(unsigned char byte);

}  // namespace lineara::cp1252
