#include "RandomKennel.h"
#include "exchange/CsvReader.h"
#include "exchange/DogCsvExport.h"
#include "exchange/DogCsvImport.h"
#include "records/FindDogSearch.h"
#include "store/DogDatabase.h"
#include "store/RecordStore.h"
#include "store/StoreError.h"
#include "support/CliProcess.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>

#include <map>
#include <set>

namespace lineara {
namespace {

using test::AddTestDog;

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Every dog by registered name: its fields without the numbers and scratch fields, and its
// parents' names, so that two databases with different DogIDs compare equal.
std::map<QString, QStringList> DogsByName(DogDatabase& db) {
    std::map<QString, QStringList> dogs;
    for (qint32 id = db.MinId(); id > 0 && id <= db.MaxId(); ++id) {
        const auto row = db.ReadRow(id);
        if (!row) {
            continue;
        }
        QStringList values;
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = FieldAt(i);
            if (f == Field::DogID || f == Field::SystemUseLongInt || f == Field::SystemUseText) {
                continue;
            }
            if (f == Field::SireID || f == Field::DamID) {
                const auto parent = row->Long(f) > 0 ? db.ReadRow(row->Long(f)) : std::nullopt;
                values << (parent ? parent->Text(Field::RegName) : QStringLiteral("-"));
                continue;
            }
            const QVariant& v = row->Value(f);
            values << (v.isNull()                       ? QStringLiteral("<null>")
                       : KindOf(f) == FieldKind::Double ? QString::number(v.toDouble(), 'g', 17)
                                                        : v.toString());
        }
        dogs[row->Text(Field::RegName)] = values;
    }
    return dogs;
}

class DogCsvTest : public ::testing::Test {
protected:
    DogCsvTest() {
        test::CreateDatabase(path_);
        store_.Open(path_);
    }
    CsvImportResult Import(const QString& csv, CsvImportOptions options = {},
                           FailAfter* fail = nullptr) {
        MaintenanceHooks hooks;
        hooks.fail_after = fail;
        return ImportDogsCsv(store_.Database(), csv, options, hooks);
    }
    QStringList Problems(const CsvImportResult& result) {
        QStringList out;
        for (const auto& p : result.problems) {
            out << QStringLiteral("%1: %2").arg(p.row).arg(p.text);
        }
        return out;
    }

    test::TempWorkDir work_;
    QString path_ = work_.File(QStringLiteral("Kennel.mdb"));
    RecordStore store_;
};

TEST_F(DogCsvTest, ExportWritesTheFieldsAsSpreadsheetsReadThem) {
    const qint32 sire =
        AddTestDog(store_, QStringLiteral("=Big, \"Sire\""), true, 0, 0,
                   {{Field::DOB, QDate(2001, 2, 3)}, {Field::IC, 0.125}, {Field::AmCh, true}});
    AddTestDog(store_, QStringLiteral("Pup"), false, sire, 77,
               {{Field::Comments, QStringLiteral("a\nb")}});
    ASSERT_EQ(ExportDogsCsv(store_.Database(), QStringLiteral("out.csv")), 2);
    CsvReader reader(QStringLiteral("out.csv"));
    QStringList header;
    ASSERT_TRUE(reader.Next(header));
    EXPECT_EQ(header, DogCsvHeader());
    EXPECT_FALSE(header.contains(QStringLiteral("SystemUseText")));
    EXPECT_EQ(header.last(), QStringLiteral("DamName"));
    QStringList first, second;
    ASSERT_TRUE(reader.Next(first));
    ASSERT_TRUE(reader.Next(second));
    auto at = [&](const QStringList& row, const char* name) {
        return row.at(header.indexOf(QLatin1String(name)));
    };
    EXPECT_EQ(at(first, "RegName"), QStringLiteral("'=Big, \"Sire\""));
    EXPECT_EQ(at(first, "DOB"), QStringLiteral("2001-02-03"));
    EXPECT_EQ(at(first, "IC"), QStringLiteral("0.125"));
    EXPECT_EQ(at(first, "AmCh"), QStringLiteral("Y"));
    EXPECT_EQ(at(first, "SexMale"), QStringLiteral("Y"));
    EXPECT_EQ(at(second, "SexMale"), QStringLiteral("N"));
    EXPECT_EQ(at(second, "Comments"), QStringLiteral("a\nb"));
    EXPECT_EQ(at(second, "SireName"), QStringLiteral("'=Big, \"Sire\""));
    EXPECT_EQ(at(second, "DamName"), QString());  // 77 names no dog
    EXPECT_EQ(at(second, "DamID"), QStringLiteral("77"));
    EXPECT_TRUE(ReadBytes(QStringLiteral("out.csv")).startsWith("DogID,SireID,DamID,RegName,"));

    // In the middle of a change, the export holds what this connection has written so far.
    DogDatabase::Transaction open(store_.Database());
    AddTestDog(store_, QStringLiteral("Not Yet Committed"));
    EXPECT_EQ(ExportDogsCsv(store_.Database(), QStringLiteral("during.csv")), 3);
    EXPECT_TRUE(ReadBytes(QStringLiteral("during.csv")).contains("Not Yet Committed"));
}

TEST_F(DogCsvTest, AncestryExportHoldsTheRootAndItsAncestorsOverTheGenerations) {
    qint32 child = 0;
    std::vector<qint32> line;
    for (int g = 0; g < 5; ++g) {
        child = AddTestDog(store_, QStringLiteral("Gen %1").arg(g), true, child);
        line.push_back(child);
    }
    AddTestDog(store_, QStringLiteral("Stranger"));
    EXPECT_EQ(ExportDogsCsv(store_.Database(), QStringLiteral("a.csv"), line.back(), 2), 3);
    CsvReader reader(QStringLiteral("a.csv"));
    QStringList row;
    reader.Next(row);
    QStringList names;
    while (reader.Next(row)) {
        names << row.at(3);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Gen 4"), QStringLiteral("Gen 3"),
                                  QStringLiteral("Gen 2")}));
    EXPECT_THROW(ExportDogsCsv(store_.Database(), QStringLiteral("b.csv"), 999, 2), StoreError);
    EXPECT_FALSE(QFile::exists(QStringLiteral("b.csv")));
}

TEST_F(DogCsvTest, RoundTripGivesTheSameDogsFieldsAndParents) {
    test::FillRandomKennel(store_, 300, 11);
    ASSERT_EQ(ExportDogsCsv(store_.Database(), QStringLiteral("all.csv")), 300);
    const QString other_path = work_.File(QStringLiteral("Other.mdb"));
    test::CreateDatabase(other_path);
    const auto other = DogDatabase::Open(other_path);
    MaintenanceHooks hooks;
    const CsvImportResult result = ImportDogsCsv(*other, QStringLiteral("all.csv"), {}, hooks);
    EXPECT_EQ(result.imported, 300);
    EXPECT_EQ(result.cleanup.deleted, 0);
    EXPECT_TRUE(result.problems.empty()) << Problems(result).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(DogsByName(*other), DogsByName(store_.Database()));
}

TEST_F(DogCsvTest, ColumnsMapBySynonymsAndParentsResolveInOrder) {
    const qint32 old_sire = AddTestDog(store_, QStringLiteral("Old Sire"));
    Write(QStringLiteral("in.csv"),
          "ID;Name;Sex;Date of Birth;Sire;Dam;Call name;Titles;Colour, eyes;SireID\n"
          "10;Alpha;Dog;2020-01-02;old sire;;Al;CD;red;\n"
          "11;Beta;Bitch;31 Feb 2000;;;;;;\n"
          "12;Gamma;X;;;beta;;;;10\n"
          "13;;M;;;;;;;\n"
          "14;Delta;M;;Nobody;;;;;99\n"
          "15;Epsilon;M;;Alpha;;;;;16\n"
          "16;Zeta;M;;;Omega;;;;\n"
          "17;Omega;F;;;;;;;\n");
    const CsvImportResult result = Import(QStringLiteral("in.csv"));
    EXPECT_EQ(result.delimiter, QLatin1Char(';'));
    QStringList targets;
    for (const int t : result.targets) {
        targets << TargetName(t);
    }
    EXPECT_EQ(targets, (QStringList{"DogID", "RegName", "SexMale", "DOB", "SireName", "DamName",
                                    "CallName", "OtherPostTitles", "(not imported)", "SireID"}));
    EXPECT_EQ(result.imported, 7);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(result.parents_linked, 5);
    EXPECT_EQ(
        Problems(result),
        (QStringList{"3: The date \"31 Feb 2000\" cannot be read; Date of Birth is left empty.",
                     "4: The sex \"X\" is neither male nor female; the dog is entered as female.",
                     "5: The row has no registered name and is skipped.",
                     "6: The sire \"Nobody\" is named nowhere in the file or the database."}));
    auto find = [&](const char* name) {
        return *store_.Database().ReadRow(
            store_.Database().FindNextId(Criterion::ByRegName(QLatin1String(name)), 0));
    };
    const DogRecord alpha = find("Alpha");
    const DogRecord beta = find("Beta");
    const DogRecord gamma = find("Gamma");
    EXPECT_EQ(alpha.Long(Field::SireID), old_sire);  // by name in the database
    EXPECT_TRUE(alpha.Flag(Field::SexMale));
    EXPECT_EQ(alpha.Date(Field::DOB), QDate(2020, 1, 2));
    EXPECT_EQ(alpha.Text(Field::OtherPostTitles), QStringLiteral("CD"));
    EXPECT_FALSE(beta.Flag(Field::SexMale));
    EXPECT_EQ(gamma.Long(Field::SireID), alpha.DogID());  // by ID within the file
    EXPECT_EQ(gamma.Long(Field::DamID), beta.DogID());    // by name within the file
    EXPECT_EQ(find("Delta").Long(Field::SireID), 0);
    // A number wins over a name even when its row comes later; so does a later row's name.
    EXPECT_EQ(find("Epsilon").Long(Field::SireID), find("Zeta").DogID());
    EXPECT_EQ(find("Zeta").Long(Field::DamID), find("Omega").DogID());
}

TEST_F(DogCsvTest, MappingCanBeChangedAndDryRunChangesNothing) {
    AddTestDog(store_, QStringLiteral("Rex"));
    Write(QStringLiteral("in.csv"), "Hund,Farbe\nRex,red\nRex,blue\n");
    const QStringList before = test::SnapshotRows(path_);
    CsvImportOptions options;
    options.mapping.insert(QStringLiteral("Hund"), IndexOf(Field::RegName));
    options.dry_run = true;
    const CsvImportResult dry = Import(QStringLiteral("in.csv"), options);
    EXPECT_EQ(dry.imported, 2);
    EXPECT_EQ(dry.cleanup.deleted, 2);  // the same name folds in the automatic clean-up
    EXPECT_EQ(test::SnapshotRows(path_), before);
    options.dry_run = false;
    Import(QStringLiteral("in.csv"), options);
    EXPECT_EQ(store_.Database().CountRows(), 1);
    EXPECT_THROW(Import(QStringLiteral("in.csv")), CsvError);  // no column for the names
}

// The import keeps its journals in memory for speed; the connection's own setting comes back
// afterwards, and inside a transaction the caller holds the import still works (as part of it).
TEST_F(DogCsvTest, TheImportPutsTheConnectionsSettingBackAndNestsInATransaction) {
    Write(QStringLiteral("in.csv"), "Name,Sire\nRex,Max\nMax,\n");
    sqlite::Connection& connection = store_.Database().Connection();
    connection.Execute("PRAGMA temp_store = FILE");
    Import(QStringLiteral("in.csv"));
    EXPECT_EQ(connection.QueryInteger("PRAGMA temp_store"), 1);
    EXPECT_EQ(store_.Database().CountRows(), 2);
    {
        DogDatabase::Transaction outer(store_.Database());
        const CsvImportResult result = Import(QStringLiteral("in.csv"));
        EXPECT_EQ(result.imported, 2);
        EXPECT_EQ(result.parents_linked, 1);
    }  // rolled back with the caller's transaction
    EXPECT_EQ(store_.Database().CountRows(), 2);
    EXPECT_EQ(connection.QueryInteger("PRAGMA temp_store"), 1);
}

TEST_F(DogCsvTest, AFailurePartWayOrABadFileLeavesEveryRowAsItWas) {
    test::FillRandomKennel(store_, 40, 5);
    ExportDogsCsv(store_.Database(), QStringLiteral("all.csv"));
    const QStringList before = test::SnapshotRows(path_);
    for (const qint64 k : {1, 20, 40, 60, 100}) {
        FailAfter fail(k);
        EXPECT_THROW(Import(QStringLiteral("all.csv"), {}, &fail), InjectedFailure) << k;
        EXPECT_EQ(test::SnapshotRows(path_), before) << k;
    }
    QByteArray bad = ReadBytes(QStringLiteral("all.csv"));
    bad.append("\"never closed,\n");
    Write(QStringLiteral("bad.csv"), bad);
    EXPECT_THROW(Import(QStringLiteral("bad.csv")), CsvError);
    EXPECT_EQ(test::SnapshotRows(path_), before);
}

// Every table, index and trigger of the file with its definition.
std::set<QString> SchemaOf(sqlite::Connection& connection) {
    sqlite::Statement rows(connection, "SELECT type, name, sql FROM sqlite_master");
    std::set<QString> entries;
    while (rows.Step()) {
        entries.insert(rows.Text(0) + u'|' + rows.Text(1) + u'|' + rows.Text(2));
    }
    return entries;
}

// A large import sets the name index aside and builds it again before parents are looked up
// by name; a small one into a larger database keeps it as it goes. Either way the index must
// answer every search afterwards, and a failure must bring back the index with the rows.
TEST_F(DogCsvTest, TheNameIndexIsRightAfterLargeAndSmallImportsAndAfterAFailure) {
    test::AddTestDog(store_, QStringLiteral("Old Montr\u00e9al Dog"));
    test::AddTestDog(store_, QStringLiteral("Stra\u00dfe Dog"), false);
    test::AddTestDog(store_, QStringLiteral("Plain Dog"));
    QByteArray large = "Name,Sire,Dam,Sex\n";
    for (int i = 1; i <= 12; ++i) {
        large += QStringLiteral("Pup %1 of Plain,Plain Dog,Stra\u00dfe Dog,%2\n")
                     .arg(i)
                     .arg(i % 2 ? QStringLiteral("M") : QStringLiteral("F"))
                     .toUtf8();
    }
    large += "Gro\xc3\x9f Pup,Pup 1 of Plain,Pup 2 of Plain,M\n";
    Write(QStringLiteral("large.csv"), large);
    Write(QStringLiteral("small.csv"), "Name,Sire\nLate Plain Pup,Plain Dog\n");

    sqlite::Connection& connection = store_.Database().Connection();
    const std::set<QString> schema = SchemaOf(connection);
    const QStringList before = test::SnapshotRows(path_);
    // Steps 1 to 13 add the rows (the index goes after the third), the next ones link parents.
    for (const qint64 k : {2, 5, 13, 14, 20}) {
        FailAfter fail(k);
        EXPECT_THROW(Import(QStringLiteral("large.csv"), {}, &fail), InjectedFailure) << k;
        EXPECT_EQ(test::SnapshotRows(path_), before) << k;
        EXPECT_EQ(SchemaOf(connection), schema) << k;
    }
    CsvImportOptions dry;
    dry.dry_run = true;
    EXPECT_EQ(Import(QStringLiteral("large.csv"), dry).parents_linked, 26);
    EXPECT_EQ(test::SnapshotRows(path_), before);
    EXPECT_EQ(SchemaOf(connection), schema);

    const CsvImportResult result = Import(QStringLiteral("large.csv"));
    EXPECT_EQ(result.imported, 13);
    EXPECT_EQ(result.parents_linked, 26);  // 24 to the database's dogs, 2 within the file
    EXPECT_TRUE(result.problems.empty()) << Problems(result).join(u'\n').toStdString();
    EXPECT_EQ(Import(QStringLiteral("small.csv")).parents_linked, 1);
    EXPECT_EQ(SchemaOf(connection), schema);
    EXPECT_NO_THROW(connection.Execute("INSERT INTO DogNameIndex(DogNameIndex, rank) VALUES ('integrity-check', 1)"));

    const auto names = [&](const QString& text) {
        QStringList found;
        for (const auto& dog : FindDogs(store_, text, -1).dogs) {
            found << dog.reg_name;
        }
        return found;
    };
    EXPECT_EQ(names(QStringLiteral("TR\u00c9A")), QStringList{"Old Montr\u00e9al Dog"});
    EXPECT_EQ(names(QStringLiteral("strasse")), QStringList{"Stra\u00dfe Dog"});
    EXPECT_EQ(names(QStringLiteral("GROSS")), QStringList{"Gro\u00df Pup"});
    EXPECT_EQ(names(QStringLiteral("of plain")).size(), 12);
    EXPECT_EQ(names(QStringLiteral("late plain")), QStringList{"Late Plain Pup"});
    EXPECT_EQ(names(QStringLiteral("ain d")), QStringList{"Plain Dog"});
}

TEST_F(DogCsvTest, CommandLineExportsImportsAndSurvivesAKill) {
    test::FillRandomKennel(store_, 600, 3);
    auto run = [](const QStringList& args) { return test::RunCliProcess(args); };
    const auto exported = run({"export-csv", path_, "all.csv"});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QByteArray("exported 600 dogs to all.csv\n"));
    test::CreateDatabase(QStringLiteral("empty.mdb"));
    const QStringList empty = test::SnapshotRows(QStringLiteral("empty.mdb"));
    const auto dry = run({"import-csv", "empty.mdb", "all.csv", "--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_TRUE(dry.out.contains("  RegName -> RegName\n"));
    EXPECT_TRUE(dry.out.contains("would import 600 dogs, skipped 0, linked "));
    EXPECT_TRUE(dry.out.endsWith("(nothing changed)\n"));
    EXPECT_EQ(test::SnapshotRows(QStringLiteral("empty.mdb")), empty);
    const auto bad = run({"import-csv", "empty.mdb", "missing.csv"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("missing.csv")));
    EXPECT_EQ(run({"import-csv", "empty.mdb", "all.csv", "--map", "RegName=Nonsense"}).status, 2);

    QFile::copy(QStringLiteral("empty.mdb"), QStringLiteral("whole.mdb"));
    ASSERT_EQ(run({"import-csv", "whole.mdb", "all.csv"}).status, 0);
    const QStringList whole = test::SnapshotRows(QStringLiteral("whole.mdb"));
    for (int round = 0; round < 4; ++round) {
        QFile::remove(QStringLiteral("kill.mdb"));
        QFile::copy(QStringLiteral("empty.mdb"), QStringLiteral("kill.mdb"));
        test::KillCliAfter({"import-csv", "kill.mdb", "all.csv"},
                           QRandomGenerator::global()->bounded(20, 300));
        const QStringList after = test::SnapshotRows(QStringLiteral("kill.mdb"));
        EXPECT_TRUE(after == empty || after == whole) << round;
    }
}

}  // namespace
}  // namespace lineara
