#pragma once

#include "app/SettingsRecord.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lineara {

class Prompts;

namespace settings {

inline constexpr const char* kFileName = "LNR40.INI";
inline constexpr qsizetype kFileSize = 6798;
inline constexpr int kDatabaseFileLength = 1024;
inline constexpr int kFontNameLength = 64;
inline constexpr int kPrintTextLength = 1024;
inline constexpr qsizetype kPrintItemSize = 1110;

// The record as the file stores it: 6798 bytes, little-endian, fixed texts in the Windows
// Western code page padded with blanks.
QByteArray Serialize(const SettingsRecord& record);
// Reads a file image. Anything but exactly 6798 bytes is refused. A field outside its valid
// range (a damaged file) takes its default value.
std::optional<SettingsRecord> Parse(const QByteArray& bytes);

}  // namespace settings

// Every field at its default value.
SettingsRecord RestoreDefaultSettings();

// Reads LNR40.INI from the directory into the record. When the file is missing or cannot be
// read, tells the user, puts the defaults in the record and returns false.
bool ReadSettings(SettingsRecord& record, const QString& directory, Prompts& prompts);

// Writes the record to LNR40.INI in the directory, all or nothing. Returns an empty string
// on success, otherwise the reason it failed.
QString WriteSettings(const SettingsRecord& record, const QString& directory);

}  // namespace lineara
