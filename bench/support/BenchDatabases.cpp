#include "support/BenchDatabases.h"

#include "store/DogDatabase.h"
#include "store/DogSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace lineara::bench {

namespace {

// Bump when the generator's output changes, so that no stale database is measured.
constexpr int kGeneratorVersion = 2;

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

QString GeneratedDatabase(qint32 dogs, double duplicate_share) {
    const QString folder = QStringLiteral(LINEARA_BENCH_CACHE);
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("generated-v%1-%2-dup%3-%4.mdb")
                                                   .arg(kGeneratorVersion)
                                                   .arg(dogs)
                                                   .arg(std::lround(duplicate_share * 1000))
                                                   .arg(SchemaTag()));
    if (QFileInfo::exists(path)) {
        return path;
    }
    std::fprintf(stderr, "Making %s ...\n", qPrintable(path));
    const QString temporary = path + QStringLiteral(".making");
    QFile::remove(temporary);
    try {
        DogDatabase::Create(temporary);
        const auto database = DogDatabase::Open(temporary);
        PedigreeGenerator::Generate(DatabaseOptions(dogs, duplicate_share)).WriteTo(*database);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    if (!QFile::rename(temporary, path)) {
        throw std::runtime_error("cannot move the generated database into the cache");
    }
    return path;
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
