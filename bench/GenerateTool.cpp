// lineara-generate: makes a LINEARA database from the synthetic pedigree generator or from a
// pedigree file, to try the program and the analyses on large kennels.
//
//     lineara-generate --dogs 1000000 --generations 12 --inbreeding 0.1 --seed 1 big.mdb

#include "sample/GenerateArguments.h"
#include "sample/PedigreeCsv.h"
#include "sample/PedigreeGenerator.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <stdexcept>

namespace {

// Writes the pedigree into a new database. It is made under a temporary name and moved into
// place only when complete, so an interrupted run never leaves a half-written kennel behind.
void WriteDatabase(const lineara::Pedigree& pedigree, const QString& target, QTextStream& err) {
    const QString temporary = target + QStringLiteral(".making");
    QFile::remove(temporary);
    try {
        lineara::DogDatabase::Create(temporary);
        {
            const auto database = lineara::DogDatabase::Open(temporary);
            pedigree.WriteTo(*database, [&](qint32 done) {
                err << "\r" << done << " of " << pedigree.Size() << " dogs written" << Qt::flush;
            });
            err << "\n";
        }
        if (QFileInfo::exists(target) || !QFile::rename(temporary, target)) {
            throw lineara::StoreError(target, QStringLiteral("The new database could not be "
                                                             "saved under that name."));
        }
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

void WriteText(const lineara::Pedigree& pedigree, const QString& target) {
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        throw lineara::StoreError(target, file.errorString());
    }
    file.write(pedigree.ToKennelText().toUtf8());
    if (!file.commit()) {
        throw lineara::StoreError(target, file.errorString());
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    lineara::GenerateRequest request;
    try {
        request = lineara::GenerateArguments::Parse(QCoreApplication::arguments().mid(1));
    } catch (const std::invalid_argument& error) {
        err << "lineara-generate: " << error.what() << "\n" << lineara::GenerateArguments::Usage();
        return 2;
    }
    if (request.help) {
        out << lineara::GenerateArguments::Usage();
        return 0;
    }
    // A kennel that is already there is never replaced.
    if (QFileInfo::exists(request.target)) {
        err << "lineara-generate: " << request.target << ": A file of that name already exists.\n";
        return 1;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        const lineara::Pedigree pedigree =
            request.csv.isEmpty() ? lineara::PedigreeGenerator::Generate(request.options)
                                  : lineara::PedigreeCsv::ReadFile(request.csv, request.prefix);
        if (request.as_text) {
            WriteText(pedigree, request.target);
        } else {
            WriteDatabase(pedigree, request.target, err);
        }
        out << "Wrote " << pedigree.Size() << " dogs to " << request.target << " in "
            << timer.elapsed() / 1000.0 << " s\n";
        return 0;
    } catch (const lineara::StoreError& error) {
        err << "lineara-generate: " << error.File() << ": " << error.Reason() << "\n";
    } catch (const std::exception& error) {
        err << "lineara-generate: " << error.what() << "\n";
    }
    return 1;
}
