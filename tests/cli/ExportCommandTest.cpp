#include "app/SettingsFile.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace lineara {
namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QString err;
};

CliRun RunCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH), QStringList{QStringLiteral("export")} + args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

class ExportCommandTest : public ::testing::Test {
protected:
    ExportCommandTest() : db_(work_.File(QStringLiteral("kennel.mdb"))) {
        test::CreateDatabase(db_);
        RecordStore store(db_);
        first_ = test::AddTestDog(store, QStringLiteral("First Dog"));
        sire_ = test::AddTestDog(store, QStringLiteral("Rock & Roll <Am>"), true, 0, 0,
                                 {{Field::AmCh, true}});
        dam_ = test::AddTestDog(store, QString::fromUtf8("Müller's Lady"), false, 0, 0,
                                {{Field::CanCD, true}});
        pup_ = test::AddTestDog(store, QStringLiteral("Pup"), true, sire_, dam_);
    }

    QString WriteSettings(const SettingsRecord& record) {
        const QString path = work_.File(QStringLiteral("LNR40.INI"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(settings::Serialize(record));
        return path;
    }

    test::TempWorkDir work_;
    QString db_;
    qint32 first_ = 0, sire_ = 0, dam_ = 0, pup_ = 0;
};

TEST_F(ExportCommandTest, WritesTheClipboardTextExactly) {
    const CliRun run =
        RunCli({db_, QStringLiteral("--root"), QString::number(pup_), QStringLiteral("--gens"),
                QStringLiteral("2"), QStringLiteral("--style"), QStringLiteral("american")});
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
        RunCli({db_, QStringLiteral("--root=") + QString::number(pup_), QStringLiteral("--gens"),
                QStringLiteral("2"), QStringLiteral("--format"), QStringLiteral("html"),
                QStringLiteral("--uppercase-champions"), QStringLiteral("no")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Canadian style by default.
    EXPECT_TRUE(run.out.contains(
        "<td colspan=\"2\"><strong>Am Ch Rock &amp; Roll &lt;Am&gt;</strong></td>\r\n"));
    EXPECT_TRUE(
        run.out.contains(QString::fromUtf8("<td colspan=\"2\">Müller's Lady CD</td>").toUtf8()));
    EXPECT_TRUE(run.out.endsWith("</table>\r\n"));

    run = RunCli({db_, QStringLiteral("--root"), QString::number(pup_), QStringLiteral("--format"),
                  QStringLiteral("spaces"), QStringLiteral("--uppercase-others"),
                  QStringLiteral("yes")});
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
    const QString path = WriteSettings(settings);
    CliRun run = RunCli({db_, QStringLiteral("--settings"), path});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("\r\n"), 7);
    EXPECT_TRUE(run.out.contains("\r\nFirst Dog\r\n"));

    settings.RootDogID = pup_;
    WriteSettings(settings);
    run = RunCli(
        {db_, QStringLiteral("--settings"), path, QStringLiteral("--gens"), QStringLiteral("3")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("\r\n"), 15);
    EXPECT_TRUE(run.out.contains("\r\n\tCh Rock & Roll <Am>\r\n"));
}

TEST_F(ExportCommandTest, RefusesBadInputWithAMessage) {
    QFile text(work_.File(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some notes, not a database\n");
    text.close();
    QFile short_settings(work_.File(QStringLiteral("short.ini")));
    ASSERT_TRUE(short_settings.open(QIODevice::WriteOnly));
    short_settings.write("too short");
    short_settings.close();

    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{}, "no database file"},
        {{db_, QStringLiteral("--colour"), QStringLiteral("red")}, "unknown option"},
        {{db_, QStringLiteral("--gens")}, "needs a value"},
        {{db_, QStringLiteral("--gens"), QStringLiteral("7")}, "--gens"},
        {{db_, QStringLiteral("--gens"), QStringLiteral("two")}, "--gens"},
        {{db_, QStringLiteral("--style"), QStringLiteral("british")}, "american|canadian"},
        {{db_, QStringLiteral("--format"), QStringLiteral("pdf")}, "tabs|spaces|html"},
        {{db_, QStringLiteral("--uppercase-others"), QStringLiteral("maybe")}, "yes"},
        {{db_, QStringLiteral("--root"), QStringLiteral("9999")}, "no dog with DogID 9999"},
        {{db_, QStringLiteral("--root"), QStringLiteral("-3")}, "--root"},
        {{work_.File(QStringLiteral("missing.mdb"))}, "missing.mdb"},
        {{work_.File(QStringLiteral("notes.txt"))}, "notes.txt"},
        {{db_, QStringLiteral("--settings"), work_.File(QStringLiteral("nothing.ini"))},
         "nothing.ini"},
        {{db_, QStringLiteral("--settings"), work_.File(QStringLiteral("short.ini"))},
         "not a LINEARA settings"},
        {{db_, db_}, "unexpected argument"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 2) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
    // The text file was left as it was.
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), QByteArray("just some notes, not a database\n"));
}

}  // namespace
}  // namespace lineara
