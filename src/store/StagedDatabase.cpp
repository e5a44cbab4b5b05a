#include "store/StagedDatabase.h"

#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lineara {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("StagedDatabase", text);
}

// A name in the same folder (a rename across folders could not be atomic) that no one uses.
QString FreeTemporaryName(const QString& final_path) {
    const QFileInfo info(final_path);
    const QDir folder = info.absoluteDir();
    for (;;) {
        const QString name =
            QStringLiteral(".%1.%2.partial")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const QString path = folder.filePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo::exists(path + QStringLiteral(".creating"))) {
            return path;
        }
    }
}

}  // namespace

StagedDatabase::StagedDatabase(const QString& final_path)
    : final_(QFileInfo(final_path).absoluteFilePath()), temporary_(FreeTemporaryName(final_path)) {
    try {
        DogDatabase::Create(temporary_);
    } catch (const StoreError& error) {
        throw StoreError(final_, error.Reason());
    }
}

StagedDatabase::~StagedDatabase() {
    if (!committed_) {
        QFile::remove(temporary_);
        QFile::remove(temporary_ + QStringLiteral("-journal"));
    }
}

void StagedDatabase::Commit(Replace replace) {
    if (replace == Replace::Never && QFileInfo::exists(final_)) {
        throw StoreError(final_, Tr("A file of that name already exists."));
    }
    // rename() replaces an existing file in one step, so readers see the old file or the new
    // one and never a mixture.
    if (std::rename(QFile::encodeName(temporary_).constData(),
                    QFile::encodeName(final_).constData()) != 0) {
        const int error = errno;
        throw StoreError(final_, Tr("The new database could not be moved into place (%1).")
                                     .arg(QString::fromLocal8Bit(std::strerror(error))));
    }
    committed_ = true;
}

}  // namespace lineara
