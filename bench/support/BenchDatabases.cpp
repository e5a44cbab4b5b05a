#include "support/BenchDatabases.h"

#include "store/DogDatabase.h"
#include "store/DogSchema.h"
#include "sample/PedigreeCsv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

namespace lineara::bench {

namespace {

// Bump when the generator's output changes, so that no stale database is measured.
constexpr int kGeneratorVersion = 2;
// Bumped when only the second entries change, so that files without any keep their names.
constexpr int kDuplicateVersion = 3;

QString DuplicateTag(double duplicate_share) {
    return duplicate_share > 0 ? QStringLiteral("k%1").arg(kDuplicateVersion) : QString();
}

// Identifies the table layout and indexes the store makes today.
QString SchemaTag() {
    return QString::fromLatin1(
        QCryptographicHash::hash(schema::CreateStatements().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(8));
}

}  // namespace

PedigreeOptions DatabaseOptions(qint32 dogs, double duplicate_share) {
    PedigreeOptions options;
    options.dogs = dogs;
    options.inbreeding = 0.1;
    options.complete_last_ancestry = true;
    options.duplicate_share = duplicate_share;
    options.seed = 1;
    return options;
}

namespace {

QString MakeCached(const QString& name, const std::function<void(DogDatabase&)>& fill) {
    const QString folder = QStringLiteral(LINEARA_BENCH_CACHE);
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path)) {
        return path;
    }
    std::fprintf(stderr, "Making %s ...\n", qPrintable(path));
    const QString temporary = path + QStringLiteral(".making");
    QFile::remove(temporary);
    try {
        DogDatabase::Create(temporary);
        const auto database = DogDatabase::Open(temporary);
        fill(*database);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    if (!QFile::rename(temporary, path)) {
        throw std::runtime_error("cannot move the generated database into the cache");
    }
    return path;
}

}  // namespace

QString GeneratedDatabase(qint32 dogs, double duplicate_share) {
    const QString name = QStringLiteral("generated-v%1-%2-dup%3%4-%5.mdb")
                             .arg(kGeneratorVersion)
                             .arg(dogs)
                             .arg(std::lround(duplicate_share * 1000))
                             .arg(DuplicateTag(duplicate_share), SchemaTag());
    return MakeCached(name, [&](DogDatabase& database) {
        PedigreeGenerator::Generate(DatabaseOptions(dogs, duplicate_share)).WriteTo(database);
    });
}

QString CachedDatabase(const PedigreeOptions& o, const QString& label) {
    const QString shape = QStringLiteral("%1/%2/%3/%4/%5/%6/%7/%8/%9/%10")
                              .arg(o.dogs)
                              .arg(o.generations)
                              .arg(o.inbreeding)
                              .arg(o.complete_last_ancestry)
                              .arg(o.parent_generations)
                              .arg(o.stud_share)
                              .arg(o.unknown_parent_share)
                              .arg(o.champion_share)
                              .arg(o.duplicate_share)
                              .arg(o.seed) +
                          DuplicateTag(o.duplicate_share);
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(shape.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    const QString name =
        QStringLiteral("%1-v%2-%3-%4.mdb").arg(label).arg(kGeneratorVersion).arg(tag).arg(SchemaTag());
    return MakeCached(name, [&](DogDatabase& database) { PedigreeGenerator::Generate(o).WriteTo(database); });
}

QString RealPedigreeDatabase(const QString& csv_name, const QString& prefix) {
    const QString csv = PedigreeDataFile(csv_name);
    if (csv.isEmpty()) {
        return {};
    }
    const QString name = QStringLiteral("real-%1-%2.mdb").arg(QFileInfo(csv_name).baseName(), SchemaTag());
    return MakeCached(name, [&](DogDatabase& database) { PedigreeCsv::ReadFile(csv, prefix).WriteTo(database); });
}

QString PedigreeDataFile(const QString& name) {
    const QString path = QDir(QStringLiteral(LINEARA_PEDIGREE_DATA)).filePath(name);
    return QFileInfo::exists(path) ? path : QString();
}

QString FreshDatabase() {
    static QTemporaryDir folder;
    static int count = 0;
    const QString path = folder.filePath(QStringLiteral("fresh-%1.mdb").arg(++count));
    DogDatabase::Create(path);
    return path;
}

std::vector<qint32> RandomIds(qint32 dogs, std::size_t count, quint64 seed) {
    std::mt19937_64 random(seed);
    std::vector<qint32> ids(count);
    for (qint32& id : ids) {
        id = 1 + static_cast<qint32>(random() % static_cast<quint64>(dogs));
    }
    return ids;
}

}  // namespace lineara::bench
