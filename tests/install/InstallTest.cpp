#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace lineara {
namespace {

struct Outcome {
    int status = -1;
    QString output;
};

Outcome RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        return {-1, process.errorString()};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The desktop install of the build tree into a temporary prefix: the programs, the menu
// entry, the file type, the icons, the sample kennel, the manual and the manual page.
TEST(InstallTest, TheInstalledTreeHoldsEveryFileAndTheEntryValidates) {
    test::TempWorkDir work;
    const QString prefix = work.File(QStringLiteral("prefix"));
    const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
    ASSERT_FALSE(cmake.isEmpty());
    const Outcome install = RunProgram(cmake, {QStringLiteral("--install"), QStringLiteral(LINEARA_BINARY_DIR),
                                           QStringLiteral("--prefix"), prefix});
    ASSERT_EQ(install.status, 0) << install.output.toStdString();
    const QDir root(prefix);

    for (const char* program : {"bin/lineara", "bin/lineara-cli", "bin/lineara-launch"}) {
        const QFileInfo info(root.filePath(QLatin1String(program)));
        EXPECT_TRUE(info.isFile() && info.isExecutable()) << program;
    }
    const Outcome launcher = RunProgram(QStringLiteral("sh"), {QStringLiteral("-n"), root.filePath(QStringLiteral("bin/lineara-launch"))});
    EXPECT_EQ(launcher.status, 0) << launcher.output.toStdString();
    const Outcome help = RunProgram(root.filePath(QStringLiteral("bin/lineara-cli")), {QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("import-csv")));

    const QString desktop = root.filePath(QStringLiteral("share/applications/lineara.desktop"));
    const QString entry = ReadText(desktop);
    EXPECT_TRUE(entry.contains(QStringLiteral("\nCategories=Office;Education;\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nMimeType=application/x-lineara-database;\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=lineara\n")));
    // The file opened in the file manager is handed on to the program.
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=lineara-launch %f\n")));
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate (desktop-file-utils) is not installed";
    const Outcome valid = RunProgram(validator, {desktop});
    EXPECT_EQ(valid.status, 0) << valid.output.toStdString();
    // Hints (two main categories, as asked for) are advice; errors and warnings are not.
    EXPECT_FALSE(valid.output.contains(QStringLiteral("error:"))) << valid.output.toStdString();
    EXPECT_FALSE(valid.output.contains(QStringLiteral("warning:"))) << valid.output.toStdString();

    // The file type claims *.mdb only with SQLite's header, so other programs' .mdb files
    // keep theirs; update-mime-database accepts the definition.
    const QString mime = root.filePath(QStringLiteral("share/mime/packages/lineara.xml"));
    const QString types = ReadText(mime);
    EXPECT_TRUE(types.contains(QStringLiteral("<glob pattern=\"*.mdb\"")));
    EXPECT_TRUE(types.contains(QStringLiteral("value=\"SQLite format 3\\000\"")));
    const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    ASSERT_FALSE(updater.isEmpty()) << "update-mime-database (shared-mime-info) is not installed";
    const Outcome mime_db = RunProgram(updater, {root.filePath(QStringLiteral("share/mime"))});
    EXPECT_EQ(mime_db.status, 0) << mime_db.output.toStdString();
    EXPECT_TRUE(ReadText(root.filePath(QStringLiteral("share/mime/globs2"))).contains(QStringLiteral("application/x-lineara-database:*.mdb")));

    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(root.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/lineara.png").arg(size)));
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        // A tile with transparent corners, not an empty picture.
        EXPECT_LT(qAlpha(icon.pixel(0, 0)), 32) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
    }
    EXPECT_TRUE(ReadText(root.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/lineara.svg"))).contains(QStringLiteral("<svg")));

    EXPECT_GT(QFileInfo(root.filePath(QStringLiteral("share/lineara/Sample Kennel.mdb"))).size(), 0);
    EXPECT_TRUE(ReadText(root.filePath(QStringLiteral("share/doc/lineara/manual.md"))).startsWith(QStringLiteral("#")));

    // The manual page lists every command of the --help text.
    const QString man = ReadText(root.filePath(QStringLiteral("share/man/man1/lineara-cli.1")));
    EXPECT_TRUE(man.startsWith(QStringLiteral(".TH LINEARA\\-CLI 1")));
    for (const char* command : {"init FILE", "export\\-csv FILE OUT.csv", "import\\-csv FILE IN.csv", "coi FILE"}) {
        EXPECT_TRUE(man.contains(QStringLiteral(".B ") + QLatin1String(command))) << command;
    }
    EXPECT_TRUE(man.contains(QStringLiteral("add the dogs of a CSV file, then fold duplicates")));
}

}  // namespace
}  // namespace lineara
