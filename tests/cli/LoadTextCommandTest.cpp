#include "sample/KennelText.h"
#include "store/RecordStore.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::TempWorkDir;

struct CliRun {
    int exit_code = -1;
    QString out;
    QStringList err;  // our own lines only; Qt may add notes of its own
};

CliRun LoadText(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH),
                  QStringList{QStringLiteral("load-text")} + args);
    EXPECT_TRUE(process.waitForFinished(60000));
    CliRun run;
    run.exit_code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& line :
         QString::fromUtf8(process.readAllStandardError()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("lineara-cli")) ||
            line.startsWith(QLatin1String("usage"))) {
            run.err.append(line);
        }
    }
    return run;
}

QString Write(const TempWorkDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.File(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

TEST(LoadTextCommandTest, BuildsTheSampleKennel) {
    TempWorkDir dir;
    const QString source = QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt");
    const QString target = dir.File(QStringLiteral("Sample Kennel.mdb"));
    const CliRun run = LoadText({source, target});
    const auto dogs = static_cast<qint64>(KennelText::ParseFile(source).Dogs().size());
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out,
              QStringLiteral("Loaded %1 dogs from %2 into %3\n").arg(dogs).arg(source, target));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.join(QLatin1Char('\n')).toStdString();
    RecordStore store(target);
    store.MoveLast();
    EXPECT_EQ(store.RecordCount(), dogs);
}

TEST(LoadTextCommandTest, ReportsWarningsAndStillLoads) {
    TempWorkDir dir;
    const QString source =
        Write(dir, QStringLiteral("odd.txt"), "dog: Queen\nsex: female\n\ndog: Pup\nsire: Queen\n");
    const CliRun run = LoadText({source, dir.File(QStringLiteral("odd.mdb"))});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, QStringList{QStringLiteral("lineara-cli: %1:5: warning: The sire \"Queen\" "
                                                  "is recorded as female.")
                                       .arg(source)});
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Loaded 2 dogs")));
}

TEST(LoadTextCommandTest, NamesEveryBadLineAndMakesNoFile) {
    TempWorkDir dir;
    const QString source =
        Write(dir, QStringLiteral("bad.txt"), "dog: Pup\nsire: Nobody\nborn: yesterday\n");
    const QString target = dir.File(QStringLiteral("bad.mdb"));
    const CliRun run = LoadText({source, target});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              (QStringList{
                  QStringLiteral("lineara-cli: %1:2: No dog named \"Nobody\" is in this kennel.")
                      .arg(source),
                  QStringLiteral("lineara-cli: %1:3: \"yesterday\" is not a date written as "
                                 "year-month-day, such as 2014-04-12.")
                      .arg(source),
                  QStringLiteral("lineara-cli: %1 was not made").arg(target),
              }));
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST(LoadTextCommandTest, LeavesAnExistingFileAlone) {
    TempWorkDir dir;
    const QString source = Write(dir, QStringLiteral("good.txt"), "dog: Rex\n");
    const QString target = Write(dir, QStringLiteral("mine.mdb"), "precious");
    const CliRun run = LoadText({source, target});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, QStringList{QStringLiteral("lineara-cli: %1: A file of that name already "
                                                  "exists.")
                                       .arg(target)});
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("precious"));
}

TEST(LoadTextCommandTest, NamesTheDatabaseWhenItCannotBeMade) {
    TempWorkDir dir;
    const QString source = Write(dir, QStringLiteral("good.txt"), "dog: Rex\n");
    const QString target = dir.File(QStringLiteral("no such folder/Kennel.mdb"));
    const CliRun run = LoadText({source, target});
    EXPECT_EQ(run.exit_code, 1);
    ASSERT_EQ(run.err.size(), 1);
    EXPECT_TRUE(run.err[0].startsWith(QStringLiteral("lineara-cli: %1: ").arg(target)))
        << run.err[0].toStdString();
}

TEST(LoadTextCommandTest, ExplainsItsArguments) {
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("only-one")},
          QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
          QStringList{QStringLiteral("--force"), QStringLiteral("b")}}) {
        const CliRun run = LoadText(args);
        EXPECT_EQ(run.exit_code, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.err, QStringList{QStringLiteral("usage: lineara-cli load-text SOURCE FILE")});
    }
}

}  // namespace
}  // namespace lineara
