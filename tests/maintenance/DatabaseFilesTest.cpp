#include "app/Startup.h"
#include "maintenance/DatabaseFiles.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"
#include "support/CliProcess.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace lineara {
namespace {

TEST(DatabaseFiles, SizeRoundsHalvesToEvenAndHoldsLargeFiles) {
    EXPECT_EQ(SizeInKb(0), 0);
    EXPECT_EQ(SizeInKb(511), 0);
    EXPECT_EQ(SizeInKb(513), 1);
    EXPECT_EQ(SizeInKb(1536), 2);
    EXPECT_EQ(SizeInKb(2560), 2);
    EXPECT_EQ(SizeInKb(3584), 4);
    EXPECT_EQ(SizeInKb(qint64{40} * 1024 * 1024), 40 * 1024);          // above 32 MB
    EXPECT_EQ(SizeInKb(qint64{5} * 1024 * 1024 * 1024 + 512), qint64{5} * 1024 * 1024);
    EXPECT_EQ(DatabaseInfoText(QStringLiteral(" Kennel.mdb "), 2560, 7),
              QStringLiteral("Information on the database currently in use:\r\rFile Name:  "
                             "Kennel.mdb\rFile Size:  2 kB\rNumber of individual records:  7\r"));
}

TEST(DatabaseFiles, NameRules) {
    EXPECT_TRUE(HasDatabaseExtension(QStringLiteral("/a/b/Kennel.MDB")));
    EXPECT_TRUE(HasDatabaseExtension(QStringLiteral("kennel.mdb")));
    EXPECT_FALSE(HasDatabaseExtension(QStringLiteral("kennel.mdb.txt")));
    EXPECT_FALSE(HasDatabaseExtension(QString()));
    EXPECT_TRUE(IsValidDatabaseName(QStringLiteral("My Kennel 2026")));
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        EXPECT_FALSE(IsValidDatabaseName(QStringLiteral("a") + c + QStringLiteral("b")))
            << QString(c).toStdString();
    }
    EXPECT_EQ(NewDatabasePath(QStringLiteral("/home/k/dogs/Old.mdb"), QStringLiteral("New")),
              QStringLiteral("/home/k/dogs/New.mdb"));
    EXPECT_EQ(NewDatabasePath(QStringLiteral("Old.mdb"), QStringLiteral("New")),
              QStringLiteral("New.mdb"));
}

QStringList FolderEntries() {
    return QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(DatabaseFiles, CreateMakesOnlyThePlaceholderAndRefusesOrReplaces) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("New.mdb"));
    CreatePlaceholderDatabase(path, StagedDatabase::Replace::Never);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("New.mdb")});
    {
        const auto database = DogDatabase::Open(path);
        ASSERT_EQ(database->CountRows(), 1);
        const auto dog = database->ReadRow(database->MinId());
        ASSERT_TRUE(dog.has_value());
        EXPECT_EQ(dog->Value(Field::RegName).toString(), QStringLiteral("Temporary (delete later)"));
    }
    // An existing database with other dogs: refused and untouched, or replaced whole.
    QFile::remove(path);
    test::CreateDatabase(path);
    {
        const auto database = DogDatabase::Open(path);
        DogRecord dog;
        dog.SetValue(Field::RegName, QStringLiteral("Rex"));
        database->InsertRow(dog);
        database->InsertRow(dog);
    }
    const QStringList before = test::SnapshotRows(path);
    EXPECT_THROW(CreatePlaceholderDatabase(path, StagedDatabase::Replace::Never), StoreError);
    EXPECT_EQ(test::SnapshotRows(path), before);
    CreatePlaceholderDatabase(path, StagedDatabase::Replace::Allowed);
    EXPECT_EQ(DogDatabase::Open(path)->CountRows(), 1);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("New.mdb")});
}

// A name of letters for a number (duplicate keys leave digits out).
QString LetterName(int n) {
    static const char* const syllables[] = {"Ba", "Ce", "Di", "Fo", "Gu", "Ha", "Je", "Ki", "Lo", "Mu"};
    QString name;
    do {
        name.prepend(QLatin1String(syllables[n % 10]));
        n /= 10;
    } while (n > 0);
    return name;
}

// A kennel with some dogs entered twice (the same name and parents; the same name in other
// letter case; a similar spelling), written in one transaction.
void WriteKennel(const QString& path, int count, int first_number = 0) {
    test::CreateDatabase(path);
    const auto database = DogDatabase::Open(path);
    DogDatabase::Transaction transaction(*database);
    for (int k = 0; k < count; ++k) {
        DogRecord dog;
        const int n = first_number + k;
        const QString name = QStringLiteral("Bracken ") + LetterName(n);
        dog.SetValue(Field::RegName, k % 20 == 1 ? name.toUpper()
                                     : k % 20 == 2 ? name + QStringLiteral("e")
                                                   : name);
        dog.SetValue(Field::SexMale, n % 2 == 0);
        dog.SetValue(Field::SireID, k >= 10 ? k - 9 : 0);
        dog.SetValue(Field::DamID, k >= 10 ? k - 8 : 0);
        database->InsertRow(dog);
        if (k % 10 == 0) {  // the same dog a second time
            database->InsertRow(dog);
        }
    }
    transaction.Commit();
}

QString Line(const QByteArray& out) { return QString::fromUtf8(out).trimmed(); }

TEST(DatabaseCli, InfoCreateMergeClean) {
    test::TempWorkDir work;
    const auto created = test::RunCliProcess({QStringLiteral("create"), QStringLiteral("A.mdb")});
    EXPECT_EQ(created.status, 0) << created.err.toStdString();
    const QStringList fresh = test::SnapshotRows(QStringLiteral("A.mdb"));
    const auto again = test::RunCliProcess({QStringLiteral("create"), QStringLiteral("A.mdb")});
    EXPECT_EQ(again.status, 2);
    EXPECT_TRUE(again.err.contains(QStringLiteral("A.mdb")));
    EXPECT_EQ(test::SnapshotRows(QStringLiteral("A.mdb")), fresh);

    const auto info = test::RunCliProcess({QStringLiteral("dbinfo"), QStringLiteral("A.mdb")});
    EXPECT_EQ(info.status, 0);
    const qint64 kb = SizeInKb(QFileInfo(QStringLiteral("A.mdb")).size());
    EXPECT_EQ(info.out, QStringLiteral("Information on the database currently in use:\n\nFile "
                                       "Name:  A.mdb\nFile Size:  %1 kB\nNumber of individual "
                                       "records:  1\n")
                            .arg(kb)
                            .toUtf8());

    WriteKennel(QStringLiteral("B.mdb"), 40);
    const QStringList other = test::SnapshotRows(QStringLiteral("B.mdb"));
    const auto merged = test::RunCliProcess(
        {QStringLiteral("merge"), QStringLiteral("A.mdb"), QStringLiteral("B.mdb")});
    EXPECT_EQ(merged.status, 0) << merged.err.toStdString();
    EXPECT_EQ(Line(merged.out), QStringLiteral("added 44, merged 4, deleted 4"));
    EXPECT_EQ(test::SnapshotRows(QStringLiteral("B.mdb")), other);
    EXPECT_EQ(DogDatabase::Open(QStringLiteral("A.mdb"))->CountRows(), 41);

    const auto cleaned = test::RunCliProcess({QStringLiteral("clean"), QStringLiteral("B.mdb")});
    EXPECT_EQ(cleaned.status, 0) << cleaned.err.toStdString();
    EXPECT_EQ(Line(cleaned.out), QStringLiteral("added 0, merged 4, deleted 4"));

    // Bad input: a message naming the file, status 2, the database unchanged.
    work.Write(QStringLiteral("notes.mdb"), "not a database\n");
    const QStringList current = test::SnapshotRows(QStringLiteral("A.mdb"));
    for (const QStringList& args :
         {QStringList{QStringLiteral("merge"), QStringLiteral("A.mdb"), QStringLiteral("notes.mdb")},
          QStringList{QStringLiteral("merge"), QStringLiteral("A.mdb"), QStringLiteral("gone.mdb")},
          QStringList{QStringLiteral("clean"), QStringLiteral("notes.mdb")},
          QStringList{QStringLiteral("dbinfo"), QStringLiteral("gone.mdb")}}) {
        const auto bad = test::RunCliProcess(args);
        EXPECT_EQ(bad.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(bad.err.contains(args.last())) << bad.err.toStdString();
        EXPECT_EQ(test::SnapshotRows(QStringLiteral("A.mdb")), current);
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("gone.mdb")));
}

// Killed at any moment, a merge or clean-up leaves the database either exactly as it was or
// exactly as a finished run leaves it.
TEST(DatabaseCli, KilledMergeOrCleanLeavesEveryRowAsItWas) {
    test::TempWorkDir work;
    WriteKennel(QStringLiteral("other.mdb"), 6000, 3000);
    WriteKennel(QStringLiteral("original.mdb"), 6000);
    const QStringList original = test::SnapshotRows(QStringLiteral("original.mdb"));
    const QStringList other = test::SnapshotRows(QStringLiteral("other.mdb"));
    for (const bool merging : {true, false}) {
        const QStringList args =
            merging ? QStringList{QStringLiteral("merge"), QStringLiteral("work.mdb"),
                                  QStringLiteral("other.mdb")}
                    : QStringList{QStringLiteral("clean"), QStringLiteral("work.mdb")};
        QFile::remove(QStringLiteral("work.mdb"));
        ASSERT_TRUE(QFile::copy(QStringLiteral("original.mdb"), QStringLiteral("work.mdb")));
        ASSERT_EQ(test::RunCliProcess(args).status, 0);
        const QStringList finished = test::SnapshotRows(QStringLiteral("work.mdb"));
        ASSERT_NE(finished, original);
        int killed = 0;
        for (int round = 0; round < 6; ++round) {
            QFile::remove(QStringLiteral("work.mdb"));
            QFile::remove(QStringLiteral("work.mdb-journal"));
            ASSERT_TRUE(QFile::copy(QStringLiteral("original.mdb"), QStringLiteral("work.mdb")));
            if (test::KillCliAfter(args, QRandomGenerator::global()->bounded(30, 600))) {
                ++killed;
            }
            const QStringList rows = test::SnapshotRows(QStringLiteral("work.mdb"));
            EXPECT_TRUE(rows == original || rows == finished) << "round " << round;
            EXPECT_EQ(test::SnapshotRows(QStringLiteral("other.mdb")), other);
        }
        EXPECT_GT(killed, 0) << args.first().toStdString();
    }
}

}  // namespace
}  // namespace lineara
