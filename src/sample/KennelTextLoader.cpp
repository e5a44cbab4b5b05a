#include "sample/KennelTextLoader.h"

#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace lineara {

namespace {

QString Tr(const char* text) {
    return QString::fromUtf8(text);
}

std::string Summary(const QString& source, const std::vector<KennelText::Issue>& issues) {
    QString text = source.isEmpty() ? Tr("the kennel text") : source;
    if (!issues.empty()) {
        const KennelText::Issue& first = issues.front();
        text += first.line > 0 ? Tr(":%1: %2").arg(QString::number(first.line), first.message)
                               : Tr(": %1").arg(first.message);
    }
    return text.toStdString();
}

}  // namespace

KennelTextError::KennelTextError(QString source, std::vector<KennelText::Issue> issues)
    : std::runtime_error(Summary(source, issues)),
      source_(std::move(source)),
      issues_(std::move(issues)) {}

std::vector<qint32> WriteKennel(DogDatabase& database, const KennelText& kennel) {
    if (!kennel.Ok()) {
        throw KennelTextError(QString(), kennel.Errors());
    }
    const std::vector<KennelText::Dog>& dogs = kennel.Dogs();
    std::vector<qint32> ids;
    ids.reserve(dogs.size());
    DogDatabase::Transaction transaction(database);
    // Parents listed earlier are linked as the dogs go in; the few written after their
    // offspring are linked once everybody has a DogID.
    bool forward_links = false;
    for (std::size_t i = 0; i < dogs.size(); ++i) {
        DogRecord record = dogs[i].record;
        for (const auto& [parent, field] :
             {std::pair{dogs[i].sire, Field::SireID}, std::pair{dogs[i].dam, Field::DamID}}) {
            if (parent >= 0 && static_cast<std::size_t>(parent) < i) {
                record.SetValue(field, ids[static_cast<std::size_t>(parent)]);
            } else if (parent >= 0) {
                forward_links = true;
            }
        }
        ids.push_back(database.InsertRow(record));
    }
    if (forward_links) {
        DogDatabase::FieldMask parents;
        parents.set(static_cast<std::size_t>(IndexOf(Field::SireID)));
        parents.set(static_cast<std::size_t>(IndexOf(Field::DamID)));
        for (std::size_t i = 0; i < dogs.size(); ++i) {
            const int sire = dogs[i].sire;
            const int dam = dogs[i].dam;
            // A dog may even be its own parent; it had no DogID yet when it went in.
            if (std::max(sire, dam) < static_cast<int>(i)) {
                continue;
            }
            DogRecord record;
            record.SetValue(Field::SireID, sire >= 0 ? ids[static_cast<std::size_t>(sire)] : 0);
            record.SetValue(Field::DamID, dam >= 0 ? ids[static_cast<std::size_t>(dam)] : 0);
            database.UpdateRow(ids[i], record, parents);
        }
    }
    transaction.Commit();
    return ids;
}

KennelText BuildKennelDatabase(const QString& source, const QString& database_path) {
    if (QFileInfo::exists(database_path)) {
        throw StoreError(database_path, Tr("A file of that name already exists."));
    }
    KennelText kennel = KennelText::ParseFile(source);
    if (!kennel.Ok()) {
        throw KennelTextError(source, kennel.Errors());
    }
    const QString temporary = database_path + QStringLiteral(".loading");
    QFile::remove(temporary);
    try {
        DogDatabase::Create(temporary);
        {
            const auto database = DogDatabase::Open(temporary);
            try {
                WriteKennel(*database, kennel);
            } catch (const sqlite::Error& error) {
                database->Fail(QString::fromUtf8(error.what()));
            }
        }
        if (!QFile::rename(temporary, database_path)) {
            throw StoreError(database_path,
                             Tr("The new database could not be saved under that name."));
        }
    } catch (const StoreError& error) {
        QFile::remove(temporary);
        // The user named the database, not our temporary file; the reason holds for both.
        throw StoreError(database_path, error.Reason());
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    return kennel;
}

}  // namespace lineara
