#include "maintenance/DatabaseFiles.h"

#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QFileInfo>

#include <cmath>

namespace lineara {

qint64 SizeInKb(qint64 bytes) {
    return static_cast<qint64>(std::nearbyint(static_cast<double>(bytes) / 1024.0));
}

QString DatabaseInfoText(const QString& database_file, qint64 bytes, qint64 records) {
    const QString cr = QStringLiteral("\r");
    return QStringLiteral("Information on the database currently in use:") + cr + cr +
           QStringLiteral("File Name:  ") + database_file.trimmed() + cr +
           QStringLiteral("File Size:  ") + QString::number(SizeInKb(bytes)) +
           QStringLiteral(" kB") + cr + QStringLiteral("Number of individual records:  ") +
           QString::number(records) + cr;
}

bool IsValidDatabaseName(const QString& name) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (forbidden.contains(c)) {
            return false;
        }
    }
    return true;
}

QString InvalidFilenameText() {
    return QStringLiteral(
        "A filename cannot contain any of the following characters:\r\\ / : * ? \" < > |");
}

QString NewDatabasePath(const QString& current_database, const QString& name) {
    const QString trimmed = current_database.trimmed();
    const qsizetype slash = std::max(trimmed.lastIndexOf(u'/'), trimmed.lastIndexOf(u'\\'));
    return trimmed.left(slash + 1) + name + QStringLiteral(".mdb");
}

QString PlaceholderDogName() {
    return QStringLiteral("Temporary (delete later)");
}

void CreatePlaceholderDatabase(const QString& path, StagedDatabase::Replace replace) {
    if (replace == StagedDatabase::Replace::Never && QFileInfo::exists(path)) {
        throw StoreError(path, QStringLiteral("A file of that name already exists."));
    }
    StagedDatabase staged(path);
    {
        const auto database = DogDatabase::Open(staged.TemporaryPath());
        try {
            DogRecord placeholder;
            placeholder.SetValue(Field::RegName, PlaceholderDogName());
            database->InsertRow(placeholder);
        } catch (const sqlite::Error& error) {
            throw StoreError(path, QString::fromUtf8(error.what()));
        } catch (const StoreError& error) {
            throw StoreError(path, error.Reason());
        }
    }
    staged.Commit(replace);
}

}  // namespace lineara
