#include "app/SettingsFile.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace lineara {
namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs a lineara-cli command with its arguments written as one text (file names are given
// relative to the working folder, which is the test's own).
CliRun RunCli(const char* command, const QString& args) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH),
                  QStringList{QString::fromLatin1(command)} +
                      args.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Our own lines of a run's standard error; Qt may add notes of its own.
QStringList OwnErrors(const CliRun& run) {
    static const QRegularExpression own(QStringLiteral("^lineara-cli"));
    return run.err.split(QLatin1Char('\n')).filter(own);
}

class CommandLineTest : public ::testing::Test {
protected:
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(work_.File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) {
        QFile file(work_.File(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    test::TempWorkDir work_;
};

TEST_F(CommandLineTest, InitCreatesAnEmptyDatabaseAndNeverReplacesAFile) {
    ASSERT_EQ(RunCli("init", QStringLiteral("New.mdb")).status, 0);
    {
        RecordStore store(work_.File(QStringLiteral("New.mdb")));
        EXPECT_TRUE(store.Eof());
    }
    Write(QStringLiteral("notes.mdb"), "my notes");
    const CliRun run = RunCli("init", QStringLiteral("notes.mdb"));
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("already exists"))) << run.err.toStdString();
    EXPECT_EQ(Read(QStringLiteral("notes.mdb")), "my notes");
    for (const char* args : {"", "a.mdb b.mdb", "no/such/folder/x.mdb"}) {
        EXPECT_EQ(RunCli("init", QString::fromLatin1(args)).status, 2) << args;
    }
}

// The build makes the bundled sample database with load-text, so loading a good text is
// exercised there; what matters here is that a bad text makes no file and says why.
TEST_F(CommandLineTest, LoadTextNamesEveryBadLineAndMakesNoFile) {
    Write(QStringLiteral("bad.txt"), "dog: Pup\nsire: Nobody\nborn: yesterday\n");
    CliRun run = RunCli("load-text", QStringLiteral("bad.txt bad.mdb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(OwnErrors(run),
              (QStringList{"lineara-cli: bad.txt:2: No dog named \"Nobody\" is in this kennel.",
                           "lineara-cli: bad.txt:3: \"yesterday\" is not a date written as "
                           "year-month-day, such as 2014-04-12.",
                           "lineara-cli: bad.mdb was not made"}));
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(work_.File(QStringLiteral("bad.mdb"))));

    // Nor is a file that is already there replaced.
    Write(QStringLiteral("good.txt"), "dog: Rex\n");
    Write(QStringLiteral("mine.mdb"), "precious");
    run = RunCli("load-text", QStringLiteral("good.txt mine.mdb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(OwnErrors(run),
              QStringList{"lineara-cli: mine.mdb: A file of that name already exists."});
    EXPECT_EQ(Read(QStringLiteral("mine.mdb")), "precious");
    EXPECT_EQ(RunCli("load-text", QStringLiteral("good.txt")).status, 2);
}

class ExportCommandTest : public CommandLineTest {
protected:
    ExportCommandTest() {
        test::CreateDatabase(work_.File(QStringLiteral("kennel.mdb")));
        RecordStore store(work_.File(QStringLiteral("kennel.mdb")));
        test::AddTestDog(store, QStringLiteral("First Dog"));
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Rock & Roll <Am>"), true, 0,
                                             0, {{Field::AmCh, true}});
        const qint32 dam = test::AddTestDog(store, QString::fromUtf8("Müller's Lady"), false, 0,
                                            0, {{Field::CanCD, true}});
        pup_ = test::AddTestDog(store, QStringLiteral("Pup"), true, sire, dam);
    }

    CliRun Export(const QString& options) {
        return RunCli("export", QStringLiteral("kennel.mdb ") + options);
    }

    qint32 pup_ = 0;
};

TEST_F(ExportCommandTest, WritesTheClipboardTextExactly) {
    const CliRun run = Export(QStringLiteral("--root %1 --gens 2 --style american").arg(pup_));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Defaults: champions upper-cased, others as composed; tabs.
    EXPECT_EQ(run.out, QString::fromUtf8("\t\t[no information]\r\n"
                                         "\tCH ROCK & ROLL <AM>\r\n"
                                         "\t\t[no information]\r\n"
                                         "Pup\r\n"
                                         "\t\t[no information]\r\n"
                                         "\tMüller's Lady Can CD\r\n"
                                         "\t\t[no information]\r\n")
                           .toUtf8());
}

TEST_F(ExportCommandTest, HtmlAndSpacesWithOptions) {
    CliRun run =
        Export(QStringLiteral("--root=%1 --gens 2 --format html --uppercase-champions no")
                   .arg(pup_));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Canadian style by default.
    EXPECT_TRUE(run.out.contains(
        "<td colspan=\"2\"><strong>Am Ch Rock &amp; Roll &lt;Am&gt;</strong></td>\r\n"));
    EXPECT_TRUE(
        run.out.contains(QString::fromUtf8("<td colspan=\"2\">Müller's Lady CD</td>").toUtf8()));
    EXPECT_TRUE(run.out.endsWith("</table>\r\n"));

    run = Export(QStringLiteral("--root %1 --format spaces --uppercase-others yes").arg(pup_));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("\r\n"), 31);  // four generations by default
    EXPECT_TRUE(run.out.contains("\r\nPUP\r\n"));
    EXPECT_TRUE(run.out.contains("\r\n          [NO INFORMATION]\r\n"));
}

TEST_F(ExportCommandTest, SettingsFileSuppliesWhatTheOptionsDoNot) {
    SettingsRecord settings = RestoreDefaultSettings();
    settings.NumGens = 2;
    settings.Country = 0;
    settings.ChampUppercase = 0;
    settings.RootDogID = 9999;  // no such dog: the chart roots at the first one
    Write(QStringLiteral("LNR40.INI"), settings::Serialize(settings));
    CliRun run = Export(QStringLiteral("--settings LNR40.INI"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("\r\n"), 7);
    EXPECT_TRUE(run.out.contains("\r\nFirst Dog\r\n"));

    settings.RootDogID = pup_;
    Write(QStringLiteral("LNR40.INI"), settings::Serialize(settings));
    run = Export(QStringLiteral("--settings LNR40.INI --gens 3"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("\r\n"), 15);
    EXPECT_TRUE(run.out.contains("\r\n\tCh Rock & Roll <Am>\r\n"));
}

TEST_F(ExportCommandTest, RefusesBadInputWithAMessage) {
    Write(QStringLiteral("notes.txt"), "just some notes, not a database\n");
    Write(QStringLiteral("short.ini"), "too short");
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "no database file"},
        {"kennel.mdb --colour red", "unknown option"},
        {"kennel.mdb --gens", "needs a value"},
        {"kennel.mdb --gens 7", "--gens"},
        {"kennel.mdb --gens two", "--gens"},
        {"kennel.mdb --style british", "american|canadian"},
        {"kennel.mdb --format pdf", "tabs|spaces|html"},
        {"kennel.mdb --uppercase-others maybe", "yes"},
        {"kennel.mdb --highlight-repeats on", "yes"},
        {"kennel.mdb --root 9999", "no dog with DogID 9999"},
        {"kennel.mdb --root -3", "--root"},
        {"missing.mdb", "missing.mdb"},
        {"notes.txt", "notes.txt"},
        {"kennel.mdb --settings nothing.ini", "nothing.ini"},
        {"kennel.mdb --settings short.ini", "not a LINEARA settings"},
        {"kennel.mdb kennel.mdb", "unexpected argument"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli("export", QString::fromLatin1(c.args));
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_TRUE(run.out.isEmpty()) << c.args;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
    EXPECT_EQ(Read(QStringLiteral("notes.txt")), "just some notes, not a database\n");
}

}  // namespace
}  // namespace lineara
