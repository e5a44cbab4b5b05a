#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lineara {

// Display choices that LNR40.INI has no room for. LNR40.INI keeps its fixed layout, so these
// live in a small text file of their own beside it, one "Key=Value" line each.
struct ViewExtras {
    bool highlight_repeats = false;

    bool operator==(const ViewExtras&) const = default;
};

namespace view_extras {

inline constexpr const char* kFileName = "LNR40EXT.INI";
// Far more than the file ever holds; anything bigger is not ours.
inline constexpr qsizetype kLargestFile = 16 * 1024;

QByteArray Serialize(const ViewExtras& extras);
// The choices in a file image, or the reason it cannot be used. Unknown keys are skipped, so
// a later version's file still reads.
std::optional<ViewExtras> Parse(const QByteArray& bytes, QString* reason = nullptr);

}  // namespace view_extras

// What reading the file gave: the choices (the defaults when the file is missing or cannot be
// used) and, for a file that exists but cannot be used, the reason, for a message.
struct ViewExtrasRead {
    ViewExtras extras;
    QString problem;
};
ViewExtrasRead ReadViewExtras(const QString& directory);

// Writes the file in the directory, all or nothing. Returns the reason of a failure, or an
// empty text.
QString WriteViewExtras(const ViewExtras& extras, const QString& directory);

// The path the file has (or gets) in the directory.
QString ViewExtrasPath(const QString& directory);

}  // namespace lineara
