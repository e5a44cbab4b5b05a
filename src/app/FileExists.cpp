#include "app/FileExists.h"

#include <QDir>
#include <QFileInfo>

namespace lineara {

std::optional<QString> FindExistingFile(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo info(trimmed);
    if (info.exists()) {
        return info.isFile() ? std::optional<QString>(info.absoluteFilePath()) : std::nullopt;
    }
    const QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        return std::nullopt;
    }
    const QString wanted = info.fileName();
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.fileName().compare(wanted, Qt::CaseInsensitive) == 0) {
            return entry.absoluteFilePath();
        }
    }
    return std::nullopt;
}

std::optional<QString> FindExistingFile(const QString& directory, const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    return FindExistingFile(QDir(directory).filePath(trimmed));
}

}  // namespace lineara
