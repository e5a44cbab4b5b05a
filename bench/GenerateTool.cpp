// lineara-generate: makes a LINEARA database from the synthetic pedigree generator or from a
// pedigree file, to try the program and the analyses on large kennels.

#include "sample/PedigreeCsv.h"
#include "sample/PedigreeGenerator.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <stdexcept>

namespace {

int Usage(QTextStream& err) {
    err << "usage: lineara-generate FILE [--dogs N] [--generations N] [--parent-generations N]\n"
           "                        [--studs SHARE] [--unknown SHARE] [--champions SHARE]\n"
           "                        [--duplicates SHARE] [--seed N]\n"
           "       lineara-generate FILE --csv PEDIGREE.csv [--prefix TEXT]\n"
           "       lineara-generate FILE --text  (writes the pedigree as kennel text instead)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--"))) {
        return Usage(err);
    }
    const QString target = args.takeFirst();
    lineara::PedigreeOptions options;
    QString csv;
    QString prefix = QStringLiteral("Animal ");
    bool as_text = false;
    try {
        while (!args.isEmpty()) {
            const QString option = args.takeFirst();
            if (option == QLatin1String("--text")) {
                as_text = true;
                continue;
            }
            if (args.isEmpty()) {
                return Usage(err);
            }
            const QString value = args.takeFirst();
            bool ok = true;
            if (option == QLatin1String("--dogs")) {
                options.dogs = value.toInt(&ok);
            } else if (option == QLatin1String("--generations")) {
                options.generations = value.toInt(&ok);
            } else if (option == QLatin1String("--parent-generations")) {
                options.parent_generations = value.toInt(&ok);
            } else if (option == QLatin1String("--studs")) {
                options.stud_share = value.toDouble(&ok);
            } else if (option == QLatin1String("--unknown")) {
                options.unknown_parent_share = value.toDouble(&ok);
            } else if (option == QLatin1String("--champions")) {
                options.champion_share = value.toDouble(&ok);
            } else if (option == QLatin1String("--duplicates")) {
                options.duplicate_share = value.toDouble(&ok);
            } else if (option == QLatin1String("--seed")) {
                options.seed = value.toULongLong(&ok);
            } else if (option == QLatin1String("--csv")) {
                csv = value;
            } else if (option == QLatin1String("--prefix")) {
                prefix = value;
            } else {
                return Usage(err);
            }
            if (!ok) {
                err << "lineara-generate: " << option << " takes a number, not \"" << value
                    << "\"\n";
                return 2;
            }
        }

        QElapsedTimer timer;
        timer.start();
        const lineara::Pedigree pedigree = csv.isEmpty()
                                               ? lineara::PedigreeGenerator::Generate(options)
                                               : lineara::PedigreeCsv::ReadFile(csv, prefix);
        if (as_text) {
            QFile file(target);
            if (file.exists() || !file.open(QIODevice::WriteOnly)) {
                err << "lineara-generate: " << target << ": cannot write a new file there\n";
                return 1;
            }
            file.write(pedigree.ToKennelText().toUtf8());
        } else {
            lineara::DogDatabase::Create(target);
            const auto database = lineara::DogDatabase::Open(target);
            pedigree.WriteTo(*database, [&](qint32 done) {
                err << "\r" << done << " of " << pedigree.Size() << " dogs written" << Qt::flush;
            });
            err << "\n";
        }
        out << "Wrote " << pedigree.Size() << " dogs to " << target << " in "
            << timer.elapsed() / 1000.0 << " s\n";
        return 0;
    } catch (const lineara::StoreError& error) {
        err << "lineara-generate: " << error.File() << ": " << error.Reason() << "\n";
    } catch (const std::exception& error) {
        err << "lineara-generate: " << error.what() << "\n";
    }
    return 1;
}
