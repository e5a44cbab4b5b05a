#pragma once

#include <QString>

#include <optional>

namespace lineara {

// The program's file-exists test. Names are trimmed of blanks; a name that does not exist
// exactly as written is also found when a file in the same folder differs from it only in
// letter case (files written by other systems often do). Returns the path as it exists on
// disk, or nothing. Only regular files count.
std::optional<QString> FindExistingFile(const QString& name);
// The same for a name relative to `directory` (absolute names ignore the directory).
std::optional<QString> FindExistingFile(const QString& directory, const QString& name);

inline bool FileExists(const QString& name) { return FindExistingFile(name).has_value(); }

}  // namespace lineara
