#include "maintenance/OldDataFile.h"
#include "maintenance/V3Import.h"
#include "records/FindDogSearch.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <set>

namespace lineara {
namespace {

using olddata::OldRecord;

OldRecord Named(const QString& name) {
    OldRecord record;
    record.SetText(olddata::kRegName, name);
    return record;
}

class V3ImportTest : public ::testing::Test {
protected:
    // Imports the records and returns the new rows in the order they were added.
    std::vector<DogRecord> Import(const std::vector<OldRecord>& records) {
        EXPECT_TRUE(olddata::WriteOldDataFile(dat_, olddata::OldDataFileBytes(records)));
        ImportV3File(dat_, target_, StagedDatabase::Replace::Never, progress_, no_failure_);
        const auto database = DogDatabase::Open(target_);
        std::vector<DogRecord> rows;
        for (qint32 id = database->MinId(); id > 0 && id <= database->MaxId(); ++id) {
            if (auto row = database->ReadRow(id)) {
                rows.push_back(*row);
            }
        }
        return rows;
    }

    test::TempWorkDir work_;
    QString dat_ = work_.File(QStringLiteral("LINEARA.DAT"));
    QString target_ = work_.File(QStringLiteral("Imported Data.mdb"));
    NoProgress progress_;
    FailAfter no_failure_;
};

TEST_F(V3ImportTest, LinksParentsAndSkipsNamelessRecords) {
    OldRecord sire = Named(QStringLiteral("  Sire \"Big\" Dog  "));
    OldRecord blank = Named(QStringLiteral("\"\"\"  "));
    OldRecord child = Named(QStringLiteral("Child"));
    child.SetInt(olddata::kSireRef, 1);
    child.SetInt(olddata::kDamRef, 2);
    OldRecord stray = Named(QStringLiteral("Stray"));
    stray.SetInt(olddata::kSireRef, 99);
    stray.SetInt(olddata::kDamRef, -3);
    const auto rows = Import({sire, blank, child, stray});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Text(Field::RegName), QStringLiteral("Sire Big Dog"));
    EXPECT_EQ(rows[1].Long(Field::SireID), rows[0].DogID());
    EXPECT_EQ(rows[1].Long(Field::DamID), 0);
    EXPECT_EQ(rows[2].Long(Field::SireID), 0);
    EXPECT_EQ(rows[2].Long(Field::DamID), 0);
}

// The import builds the name index once at the end; the file must come out exactly as a new
// database would hold those dogs, with every search answered.
TEST_F(V3ImportTest, NameIndexIsBuiltAsInANewDatabase) {
    Import({Named(QStringLiteral("Ch. Montr\u00e9al")), Named(QStringLiteral("Stra\u00dfe Dog")),
            Named(QStringLiteral("Plain Dog")), Named(QStringLiteral("plain dogger"))});
    const auto schema_of = [](const QString& path) {
        const auto database = DogDatabase::Open(path);
        sqlite::Statement rows(database->Connection(), "SELECT type, name, sql FROM sqlite_master");
        std::set<QString> entries;
        while (rows.Step()) {
            entries.insert(rows.Text(0) + u'|' + rows.Text(1) + u'|' + rows.Text(2));
        }
        return entries;
    };
    const QString fresh = work_.File(QStringLiteral("fresh.mdb"));
    DogDatabase::Create(fresh);
    EXPECT_EQ(schema_of(target_), schema_of(fresh));

    DogDatabase::Open(target_)->Connection().Execute(
        "INSERT INTO DogNameIndex(DogNameIndex) VALUES ('integrity-check')");
    auto connection = OpenSearchConnection(target_);
    const auto names = [&](const QString& text) {
        std::vector<QString> found;
        for (const auto& dog : FindDogs(connection, text, 0).dogs) {
            found.push_back(dog.reg_name);
        }
        return found;
    };
    EXPECT_EQ(names(QStringLiteral("TR\u00c9A")), std::vector<QString>{QStringLiteral("Ch. Montr\u00e9al")});
    EXPECT_EQ(names(QStringLiteral("strasse")), std::vector<QString>{QStringLiteral("Stra\u00dfe Dog")});
    EXPECT_EQ(names(QStringLiteral("in dog")),
              (std::vector<QString>{QStringLiteral("Plain Dog"), QStringLiteral("plain dogger")}));
}

TEST_F(V3ImportTest, EveryTitleFlagAtItsOffset) {
    for (const auto& [offset, field] : OldTitleFlags()) {
        OldRecord record = Named(QStringLiteral("Flagged"));
        record.SetInt(offset, -1);
        const auto rows = Import({record});
        QFile::remove(target_);
        ASSERT_EQ(rows.size(), 1u);
        for (int f = kFirstTitleField; f <= kLastTitleField; ++f) {
            EXPECT_EQ(rows[0].Flag(static_cast<Field>(f)), static_cast<Field>(f) == field)
                << "offset " << offset << " field " << NameOf(static_cast<Field>(f));
        }
    }
}

TEST_F(V3ImportTest, LevelsCodesSexAndTexts) {
    OldRecord record = Named(QStringLiteral("Ch. Montréal"));
    record.SetInt(olddata::kAmericanObedience, 3);
    record.SetInt(olddata::kCanadianObedience, 2);
    record.SetInt(olddata::kGoodCitizen, 3);
    record.SetInt(olddata::kSex, 5);
    record.SetText(olddata::kShortOtherCh, QStringLiteral("Int"));
    record.SetBytes(olddata::kCallName, QByteArray("\x05Rex"));
    const QString upper = QStringLiteral("àéîõü ÀÉ ñß ©€");
    const olddata::TextSlot text_slots[] = {olddata::kDescription, olddata::kComments, olddata::kCkcId,
                                       olddata::kAkcId, olddata::kTattoo, olddata::kPreTitles,
                                       olddata::kPostTitles};
    for (const auto slot : text_slots) {
        record.SetText(slot, upper);
    }
    const auto rows = Import({record});
    ASSERT_EQ(rows.size(), 1u);
    const DogRecord& dog = rows[0];
    EXPECT_EQ(dog.Text(Field::RegName), QStringLiteral("Ch. Montréal"));
    EXPECT_TRUE(dog.Flag(Field::AmCD) && dog.Flag(Field::AmCDX) && dog.Flag(Field::AmUD));
    EXPECT_FALSE(dog.Flag(Field::AmUDX));
    EXPECT_TRUE(dog.Flag(Field::CanCD) && dog.Flag(Field::CanCDX));
    EXPECT_FALSE(dog.Flag(Field::CanOTCh));
    EXPECT_TRUE(dog.Flag(Field::CanCGC) && dog.Flag(Field::AmCGC));
    EXPECT_TRUE(dog.Flag(Field::SexMale));
    EXPECT_EQ(dog.Text(Field::OtherCh), QStringLiteral("Int"));
    EXPECT_TRUE(dog.IsNull(Field::CallName));
    for (Field field : {Field::Description, Field::Comments, Field::CKCID, Field::AKCID,
                        Field::TattooID, Field::OtherPreTitles}) {
        EXPECT_EQ(dog.Text(field), upper) << NameOf(field);
    }
    EXPECT_EQ(dog.Text(Field::OtherPostTitles), upper);
    EXPECT_TRUE(dog.IsNull(Field::MicrochipID));
}

TEST_F(V3ImportTest, DamagedFilesImportNothing) {
    std::vector<OldRecord> two = {Named(QStringLiteral("A")), Named(QStringLiteral("B"))};
    const QByteArray cases[] = {
        QByteArray(10, ' '),
        olddata::OldDataFileBytes(two, 0),
        olddata::OldDataFileBytes(two, -4),
        olddata::OldDataFileBytes(two, 3),
        olddata::OldDataFileBytes(two).chopped(1),
    };
    for (const QByteArray& bytes : cases) {
        ASSERT_TRUE(olddata::WriteOldDataFile(dat_, bytes));
        EXPECT_THROW(ImportV3File(dat_, target_, StagedDatabase::Replace::Allowed, progress_,
                                  no_failure_),
                     StoreError);
        EXPECT_FALSE(QFile::exists(target_));
    }
}

TEST_F(V3ImportTest, FailureInSecondPassLeavesExistingFileAsItWas) {
    DogDatabase::Create(target_);
    const QStringList before = test::SnapshotRows(target_);
    OldRecord child = Named(QStringLiteral("Child"));
    child.SetInt(olddata::kSireRef, 2);
    ASSERT_TRUE(olddata::WriteOldDataFile(
        dat_, olddata::OldDataFileBytes({child, Named(QStringLiteral("Sire")), child})));
    FailAfter fail(4);  // the three adds pass; the link of the child named before its sire fails
    EXPECT_THROW(ImportV3File(dat_, target_, StagedDatabase::Replace::Allowed, progress_, fail),
                 InjectedFailure);
    EXPECT_EQ(test::SnapshotRows(target_), before);
    EXPECT_EQ(QDir(work_.Path()).entryList(QDir::Files).size(), 2);
}

}  // namespace
}  // namespace lineara
