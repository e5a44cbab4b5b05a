#include "store/DogDatabase.h"
#include "store/RecordStore.h"
#include "store/StoreError.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <sqlite3.h>

namespace lineara {
namespace {

using test::AddTestDog;
using test::TempWorkDir;

class RecordStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        DogDatabase::Create(path_);
        store_.Open(path_);
    }

    // Runs one SQL query through the stock sqlite3 shell and returns what it printed.
    QString Shell(const QString& sql) const {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {path_, sql});
        shell.waitForFinished();
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }

    TempWorkDir work_;
    QString path_;
    RecordStore store_;
};

TEST_F(RecordStoreTest, OneColumnPerFieldInOrderWithTypeCodesAndTheStockShellCanUseIt) {
    const QString columns = Shell(QStringLiteral("SELECT group_concat(name, ',') FROM pragma_table_info('DogInfo')"));
    const QStringList names = columns.split(QLatin1Char(','));
    ASSERT_EQ(names.size(), kFieldCount);
    EXPECT_EQ(names.first(), "DogID");
    EXPECT_EQ(names[3], "RegName");
    EXPECT_EQ(names[19], "OtherPostTitles");
    EXPECT_EQ(names[20], "AmCh");
    EXPECT_EQ(names[72], "CanCGC");
    EXPECT_EQ(names.mid(73), QStringList({"ForceCh", "IC", "SystemUseLongInt", "SystemUseText"}));
    EXPECT_EQ(RecordStore::FieldCount(), 77);
    EXPECT_EQ(RecordStore::FieldName(1), "SireID");
    EXPECT_EQ(RecordStore::FieldType(IndexOf(Field::RegName)), 10);
    EXPECT_EQ(RecordStore::FieldType(IndexOf(Field::Comments)), 12);
    EXPECT_EQ(RecordStore::FieldType(IndexOf(Field::PrintNotes)), 12);
    EXPECT_EQ(RecordStore::FieldType(IndexOf(Field::ForceCh)), 1);

    // The shell can also change the file: nothing in the schema needs our own functions.
    AddTestDog(store_, QStringLiteral("Müller's Ace"));
    EXPECT_EQ(Shell(QStringLiteral("UPDATE DogInfo SET RegName='Other' WHERE DogID=1; "
                                   "SELECT RegName FROM DogInfo")),
              "Other");
}

TEST_F(RecordStoreTest, NewRecordStartsEmptyAndTextsLongerThanTheirFieldsAreRefused) {
    store_.AddNew();
    store_.Update();
    const qint32 id = store_.LastModified().dog_id;
    store_.FindFirst(QStringLiteral("DogID=%1").arg(id));
    ASSERT_FALSE(store_.NoMatch());
    const DogRecord dog = store_.Record();
    EXPECT_EQ(dog.Long(Field::SireID), 0);
    EXPECT_EQ(dog.Long(Field::DamID), 0);
    EXPECT_FALSE(dog.IsNull(Field::SireID));
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        if (KindOf(field) == FieldKind::YesNo) {
            EXPECT_EQ(dog.Value(field), QVariant(false)) << NameOf(field);
        } else if (KindOf(field) != FieldKind::Long) {
            EXPECT_TRUE(dog.IsNull(field)) << NameOf(field);
        }
    }
    EXPECT_EQ(Shell(QStringLiteral("SELECT quote(IC), quote(RegName), SexMale FROM DogInfo")), "NULL|NULL|0");

    // A text longer than its field is refused, and nothing is written; the longest fits.
    store_.AddNew();
    store_.SetValue(Field::RegName, QString(256, QLatin1Char('x')));
    EXPECT_THROW(store_.Update(), StoreError);
    store_.CancelUpdate();
    EXPECT_EQ(store_.RecordCount(), 1);
    AddTestDog(store_, QString(255, QLatin1Char('x')), true, 0, 0,
               {{Field::Comments, QString(5000, QLatin1Char('c'))}});
    EXPECT_EQ(store_.RecordCount(), 2);
}

TEST_F(RecordStoreTest, ValuesAreStoredInTheirDocumentedForms) {
    AddTestDog(store_, QStringLiteral("Rex"), true, 0, 0,
               {{Field::DOB, QDate(2000, 2, 12)}, {Field::IC, 0.125}, {Field::AmCh, true},
                {Field::CallName, QString()}, {Field::Description, QStringLiteral("")}});
    EXPECT_EQ(Shell(QStringLiteral("SELECT SexMale, AmCh, CanCh, DOB, IC, quote(CallName), "
                                   "quote(Description) FROM DogInfo")),
              "-1|-1|0|2000-02-12|0.125|NULL|NULL");

    // Null is distinct from a value, and writing Null clears a text.
    store_.MoveFirst();
    EXPECT_EQ(store_.Value(QStringLiteral("dob")).toDate(), QDate(2000, 2, 12));
    store_.Edit();
    store_.SetValue(QStringLiteral("RegName"), QVariant());
    store_.SetValue(Field::IC, QVariant());
    store_.Update();
    store_.Refresh();
    EXPECT_TRUE(store_.IsNull(Field::RegName));
    EXPECT_TRUE(store_.IsNull(Field::IC));

    // Values written by other programs read safely. (The cursor lets go of the file first.)
    store_.Close();
    Shell(QStringLiteral("UPDATE DogInfo SET SexMale=1, DOB='not a date', RegName=''"));
    store_.Open(path_);
    store_.MoveFirst();
    EXPECT_TRUE(store_.Flag(Field::SexMale));
    EXPECT_TRUE(store_.IsNull(Field::DOB));
    EXPECT_TRUE(store_.IsNull(Field::RegName));
}

TEST_F(RecordStoreTest, CriteriaFormsParseAndAnythingElseIsRefused) {
    struct Case {
        const char* text;
        Field field;
        Criterion::Op op;
        qint64 number;
        const char* quoted;
    };
    const Case cases[] = {
        {"DogID=12", Field::DogID, Criterion::Op::Equal, 12, ""},
        {"SireID=3", Field::SireID, Criterion::Op::Equal, 3, ""},
        {"DamID=0", Field::DamID, Criterion::Op::Equal, 0, ""},
        {"SystemUseLongInt>0", Field::SystemUseLongInt, Criterion::Op::Greater, 0, ""},
        {"SystemUseLongInt=77", Field::SystemUseLongInt, Criterion::Op::Equal, 77, ""},
        {"RegName=\"Rex\"", Field::RegName, Criterion::Op::Equal, 0, "Rex"},
        {"RegName=\"Rock \"n\" Roll\"", Field::RegName, Criterion::Op::Equal, 0, "Rock \"n\" Roll"},
        {"SystemUseText=\"BBGLDNB\"", Field::SystemUseText, Criterion::Op::Equal, 0, "BBGLDNB"},
    };
    for (const Case& c : cases) {
        const Criterion parsed = Criterion::Parse(QString::fromUtf8(c.text));
        EXPECT_EQ(parsed.field, c.field) << c.text;
        EXPECT_EQ(parsed.op, c.op) << c.text;
        EXPECT_EQ(parsed.number, c.number) << c.text;
        EXPECT_EQ(parsed.text, QString::fromUtf8(c.quoted)) << c.text;
    }
    for (const char* bad : {"DogID=abc", "RegName=Rex", "RegName>\"Rex\"", "Comments=\"x\"",
                            "DogID=1; DROP TABLE DogInfo", "", "RegName=\"Rex\" OR 1=1"}) {
        EXPECT_THROW(Criterion::Parse(QString::fromUtf8(bad)), std::invalid_argument) << bad;
    }
}

TEST_F(RecordStoreTest, FindsWalkTheMatchesInOrderAndAFailedFindKeepsThePosition) {
    const qint32 sire = AddTestDog(store_, QStringLiteral("Sire"));
    const qint32 a = AddTestDog(store_, QStringLiteral("Pup A"), true, sire);
    AddTestDog(store_, QStringLiteral("Other"));
    const qint32 b = AddTestDog(store_, QStringLiteral("Pup B"), false, sire);

    store_.FindFirst(QStringLiteral("SireID=%1").arg(sire));
    ASSERT_FALSE(store_.NoMatch());
    EXPECT_EQ(store_.DogID(), a);
    store_.FindNext(QStringLiteral("SireID=%1").arg(sire));
    EXPECT_EQ(store_.DogID(), b);
    store_.FindNext(QStringLiteral("SireID=%1").arg(sire));
    EXPECT_TRUE(store_.NoMatch());
    EXPECT_EQ(store_.DogID(), b);

    store_.FindFirst(QStringLiteral("DogID=9999"));
    EXPECT_TRUE(store_.NoMatch());
    EXPECT_EQ(store_.DogID(), b);
    EXPECT_EQ(store_.Text(Field::RegName), "Pup B");
}

TEST_F(RecordStoreTest, NameSearchIgnoresCaseInEveryScriptAndTakesQuotes) {
    const qint32 mueller = AddTestDog(store_, QStringLiteral("Müller's Ärger"));
    const qint32 quoted = AddTestDog(store_, QStringLiteral("Rock \"n\" Roll"));
    const qint32 plain = AddTestDog(store_, QStringLiteral("Blue Moon"));
    const qint32 greek = AddTestDog(store_, QStringLiteral("Σοφία"));

    const auto find = [&](const QString& name) {
        store_.FindFirst(Criterion::ByRegName(name));
        return store_.NoMatch() ? 0 : store_.DogID();
    };
    EXPECT_EQ(find(QStringLiteral("MÜLLER'S ÄRGER")), mueller);
    EXPECT_EQ(find(QStringLiteral("müller's ärger")), mueller);
    EXPECT_EQ(find(QStringLiteral("  Rock \"n\" ROLL ")), quoted);
    EXPECT_EQ(find(QStringLiteral("BLUE MOON")), plain);
    EXPECT_EQ(find(QStringLiteral("σοφία")), greek);
    EXPECT_EQ(find(QStringLiteral("Blue Moo")), 0);
    EXPECT_EQ(find(QStringLiteral("Muller's Arger")), 0);

    // The criteria text form reaches the same search.
    store_.FindFirst(QStringLiteral("RegName=\"rock \"n\" roll\""));
    EXPECT_EQ(store_.DogID(), quoted);
}

TEST_F(RecordStoreTest, WalkingCountingAndPositions) {
    EXPECT_TRUE(store_.Eof());
    store_.MoveLast();
    EXPECT_EQ(store_.RecordCount(), 0);

    const qint32 only = AddTestDog(store_, QStringLiteral("Only"));
    store_.MoveLast();
    EXPECT_EQ(store_.RecordCount(), 1);
    EXPECT_EQ(store_.DogID(), only);

    for (int i = 0; i < 9; ++i) {
        AddTestDog(store_, QStringLiteral("Dog %1").arg(i));
    }
    store_.MoveLast();
    EXPECT_EQ(store_.RecordCount(), 10);
    QStringList names;
    double last_percent = -1;
    for (store_.MoveFirst(); !store_.Eof(); store_.MoveNext()) {
        names << store_.Text(Field::RegName);
        const double percent = store_.PercentPosition();
        EXPECT_GE(percent, 0.0);
        EXPECT_LT(percent, 100.0);
        EXPECT_GT(percent, last_percent);
        last_percent = percent;
    }
    EXPECT_EQ(names.size(), 10);

    EXPECT_EQ(names.first(), "Only");
    EXPECT_EQ(names.last(), "Dog 8");
    EXPECT_THROW(store_.Value(Field::RegName), std::logic_error);

    // The count stays right whoever changes the table, and whatever is rolled back. (The
    // cursor lets go of the file first: while it stands on a row, others cannot write.)
    store_.Close();
    Shell(QStringLiteral("INSERT INTO DogInfo (RegName) VALUES ('From the shell'); DELETE FROM DogInfo WHERE DogID = %1")
              .arg(only));
    Shell(QStringLiteral("INSERT INTO DogInfo (RegName) VALUES ('Another')"));
    store_.Open(path_);
    store_.MoveLast();
    EXPECT_EQ(store_.RecordCount(), 11);
    EXPECT_EQ(store_.Text(Field::RegName), "Another");
    {
        DogDatabase::Transaction undone(store_.Database());
        AddTestDog(store_, QStringLiteral("Rolled back"));
        EXPECT_EQ(store_.RecordCount(), 12);
    }
    EXPECT_EQ(store_.RecordCount(), 11);
    EXPECT_EQ(Shell(QStringLiteral("SELECT Dogs FROM DogCount")), "11");
}

TEST_F(RecordStoreTest, EditsDeletesBookmarksAndIdentities) {
    const qint32 a = AddTestDog(store_, QStringLiteral("A"));
    const qint32 b = AddTestDog(store_, QStringLiteral("B"));
    const qint32 c = AddTestDog(store_, QStringLiteral("C"));

    store_.FindFirst(Criterion::ById(b));
    const RecordStore::Bookmark mark = store_.GetBookmark();
    store_.Edit();
    store_.SetValue(Field::CallName, QStringLiteral("Bee"));
    EXPECT_EQ(store_.Text(Field::CallName), "Bee");  // the edit buffer is what we read while editing
    store_.Update();
    EXPECT_EQ(store_.LastModified().dog_id, b);
    EXPECT_EQ(store_.Text(Field::CallName), "Bee");

    store_.MoveFirst();
    store_.SetBookmark(mark);
    EXPECT_EQ(store_.DogID(), b);
    store_.Delete();
    EXPECT_THROW(store_.Value(Field::RegName), std::logic_error);
    store_.MoveNext();
    EXPECT_EQ(store_.DogID(), c);
    EXPECT_THROW(store_.SetBookmark(mark), StoreError);
    EXPECT_EQ(store_.DogID(), c);

    store_.MoveFirst();
    EXPECT_EQ(store_.DogID(), a);
    EXPECT_THROW(store_.SetValue(Field::RegName, QStringLiteral("X")), std::logic_error);
    store_.AddNew();
    EXPECT_THROW(store_.SetValue(Field::DogID, 5), std::logic_error);
    store_.CancelUpdate();
    // Identities increase, and the last dog's is not given again once it is deleted.
    store_.FindFirst(Criterion::ById(c));
    store_.Delete();
    EXPECT_GT(AddTestDog(store_, QStringLiteral("D")), c);
}

TEST_F(RecordStoreTest, CursorsShareTheFileAndSeeEachOthersChanges) {
    // A walk in progress sees, and survives, writes through another cursor.
    RecordStore editor(path_);
    for (int i = 0; i < 6; ++i) {
        AddTestDog(store_, QStringLiteral("Dog %1").arg(i));
    }
    int seen = 0;
    for (store_.MoveFirst(); !store_.Eof(); store_.MoveNext()) {
        editor.FindFirst(Criterion::ById(store_.DogID()));
        editor.Edit();
        editor.SetValue(Field::SystemUseLongInt, 1);
        editor.Update();
        EXPECT_EQ(store_.Long(Field::SystemUseLongInt), 1);
        ++seen;
    }
    EXPECT_EQ(seen, 6);
}

TEST_F(RecordStoreTest, ANestedTransactionIsUndoneWithTheOuterOne) {
    AddTestDog(store_, QStringLiteral("Keep"));
    {
        DogDatabase::Transaction outer(store_.Database());
        AddTestDog(store_, QStringLiteral("Gone 1"));
        {
            DogDatabase::Transaction inner(store_.Database());
            AddTestDog(store_, QStringLiteral("Gone 2"));
            inner.Commit();
        }
        // No commit of the outer transaction: everything in it disappears.
    }
    store_.MoveLast();
    EXPECT_EQ(store_.RecordCount(), 1);
    EXPECT_EQ(Shell(QStringLiteral("SELECT group_concat(RegName, ',') FROM DogInfo")), "Keep");
}

// Files that are not usable databases: each is refused with a reason, and left untouched.
class OpenFailureTest : public ::testing::Test {
protected:
    QString ReasonFor(const QString& path) {
        try {
            RecordStore store(path);
        } catch (const StoreError& error) {
            EXPECT_EQ(error.File(), path);
            return error.Reason();
        }
        return QStringLiteral("(opened)");
    }

    TempWorkDir work_;
};

TEST_F(OpenFailureTest, ForeignAndDamagedFilesAreRefusedUntouched) {
    QByteArray access(4096, '\0');
    access.replace(0, 19, QByteArray("\0\1\0\0Standard Jet DB", 19));
    // SQLite files made by someone else: the bytes of a file the SQL makes.
    const auto sqlite_file = [&](const char* name, const char* sql) {
        const QString path = work_.File(QString::fromLatin1(name));
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return work_.Read(path);
    };
    const QByteArray other_sqlite =
        sqlite_file("other.db", "CREATE TABLE DogInfo (x); INSERT INTO DogInfo VALUES (1)");
    const QByteArray wrong_layout =
        sqlite_file("layout.db", "PRAGMA application_id = 1280201281; "
                                 "CREATE TABLE DogInfo (DogID INTEGER PRIMARY KEY, Name TEXT)");
    const QString good = work_.File(QStringLiteral("good.mdb"));
    DogDatabase::Create(good);
    {
        RecordStore store(good);
        for (int i = 0; i < 300; ++i) {
            AddTestDog(store, QStringLiteral("Dog with a fairly long registered name %1").arg(i));
        }
    }
    QByteArray damaged = work_.Read(good);
    damaged.truncate(damaged.size() / 2);
    damaged.replace(4096, 4096, QByteArray(4096, '\x5a'));

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason_contains;
    };
    const std::vector<Case> cases{
        {"notes.mdb", "These are my notes, not a database.\n", "not a LINEARA database"},
        {"empty.mdb", "", "empty"},
        {"access.mdb", access, "Microsoft Access"},
        {"other.mdb", other_sqlite, "another program"},
        {"layout.mdb", wrong_layout, "layout"},
        {"damaged.mdb", damaged, "damaged"},
    };
    for (const Case& c : cases) {
        const QString path = work_.Write(QString::fromLatin1(c.name), c.bytes);
        EXPECT_TRUE(ReasonFor(path).contains(QLatin1String(c.reason_contains))) << c.name << ": "
                                                                                  << ReasonFor(path).toStdString();
        EXPECT_EQ(work_.Read(path), c.bytes) << c.name;
    }
    EXPECT_TRUE(ReasonFor(work_.File(QStringLiteral("missing.mdb"))).contains("does not exist"));
    EXPECT_TRUE(ReasonFor(work_.Path()).contains("folder"));
}

TEST_F(OpenFailureTest, ReadOnlyAndLockedFilesAreRefused) {
    const QString path = work_.File(QStringLiteral("Kennel.mdb"));
    DogDatabase::Create(path);

    sqlite3* other = nullptr;
    sqlite3_open(path.toUtf8().constData(), &other);
    sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE DogInfo SET RegName = 'x'", nullptr, nullptr, nullptr);
    EXPECT_TRUE(ReasonFor(path).contains("Another program")) << ReasonFor(path).toStdString();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(ReasonFor(path), "(opened)");

    const QByteArray before = work_.Read(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    EXPECT_TRUE(ReasonFor(path).contains("read-only")) << ReasonFor(path).toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(work_.Read(path), before);
}

TEST_F(OpenFailureTest, CreatingNeverReplacesAFile) {
    const QString path = work_.Write(QStringLiteral("existing.mdb"), "keep me");
    EXPECT_THROW(DogDatabase::Create(path), StoreError);
    EXPECT_EQ(work_.Read(path), "keep me");
}

}  // namespace
}  // namespace lineara
