#include "records/FindDogSearch.h"
#include "store/DogDatabase.h"
#include "store/NameFolding.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdio>

namespace lineara {

void PrintTo(const FoundDog& dog, std::ostream* out) { *out << dog.dog_id << " \"" << dog.reg_name.toStdString() << "\""; }

namespace {

// Pieces names are made of: every kind of character a registered name may hold, and the
// ones whose upper case differs in length or does not fold back.
const QStringList& Pieces() {
    static const QStringList pieces = {
        QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("mist"), QStringLiteral("MIST"),
        QStringLiteral("Ch. "), QStringLiteral(" "), QStringLiteral("  "), QStringLiteral("'"),
        QStringLiteral("\""), QStringLiteral("-"), QStringLiteral("%"), QStringLiteral("_"),
        QStringLiteral("*"), QStringLiteral("["), QStringLiteral("ü"), QStringLiteral("Ü"),
        QStringLiteral("mül"), QStringLiteral("MÜLLER"), QStringLiteral("é"), QStringLiteral("e\u0301"),
        QStringLiteral("ß"), QStringLiteral("SS"), QStringLiteral("ss"), QStringLiteral("ẞ"),
        QStringLiteral("ı"), QStringLiteral("I"), QStringLiteral("i"), QStringLiteral("İ"),
        QStringLiteral("ﬁ"), QStringLiteral("FI"), QStringLiteral("σ"), QStringLiteral("ς"),
        QStringLiteral("Σ"), QStringLiteral("ǅ"), QStringLiteral("ǆ"), QStringLiteral("K"),
        QStringLiteral("\u212A"), QStringLiteral("ſ"), QStringLiteral("ŉ"), QStringLiteral("ΐ"),
        QStringLiteral("ᾳ"), QStringLiteral("\U0001F415"), QStringLiteral("\U00010428"),
        QStringLiteral("\U00010400"), QStringLiteral("Ørsted"), QStringLiteral("\t"), QStringLiteral("日本"),
    };
    return pieces;
}

QString RandomText(QRandomGenerator& random, int max_pieces) {
    QString text;
    const int count = 1 + static_cast<int>(random.bounded(max_pieces));
    for (int i = 0; i < count; ++i) {
        text += Pieces()[static_cast<qsizetype>(random.bounded(Pieces().size()))];
    }
    return text;
}

class NameIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        store_.Open(path_);
    }

    sqlite::Connection& Connection() { return store_.Database().Connection(); }

    // The search through the index must list exactly the dogs the scan lists.
    void ExpectSameAsScan(const QString& text, qint16 hint) {
        const FindDogResult found = FindDogs(Connection(), text, hint);
        if (text.trimmed().isEmpty()) {
            EXPECT_TRUE(found.dogs.empty());
            return;
        }
        std::vector<FoundDog> scanned = ScanMatchingDogs(Connection(), text.trimmed().toUpper(), hint);
        std::vector<FoundDog> listed = found.dogs;
        if (scanned.empty()) {
            ASSERT_EQ(listed.size(), 1u) << text.toStdString();
            EXPECT_EQ(listed.front().dog_id, 0);
            return;
        }
        std::sort(listed.begin(), listed.end(), [](const FoundDog& a, const FoundDog& b) { return a.dog_id < b.dog_id; });
        EXPECT_EQ(listed, scanned) << "text \"" << text.toStdString() << "\" hint " << hint;
    }

    void ExpectIndexIntact() {
        EXPECT_NO_THROW(Connection().Execute("INSERT INTO DogNameIndex(DogNameIndex, rank) VALUES ('integrity-check', 1)"));
    }

    test::TempWorkDir work_;
    QString path_;
    RecordStore store_;
};

TEST_F(NameIndexTest, TheLibrariesOfThisRunAreCoveredByTheIndexOfUnfoldableNames) {
    // Otherwise every search of three letters or more would look at all non-ASCII names:
    // still right, but the index of unfoldable names would need a new layout.
    EXPECT_TRUE(UnfoldableIndexCovers());
    const auto& unfoldable = UnfoldableCharacters();
    for (const char32_t c : {U'ß', U'ı', U'ﬁ', U'ŉ'}) {
        EXPECT_TRUE(std::binary_search(unfoldable.begin(), unfoldable.end(), c)) << static_cast<unsigned>(c);
    }
    for (const char32_t c : {U'ü', U'Ü', U'é', U'ø', U'σ'}) {
        EXPECT_FALSE(std::binary_search(unfoldable.begin(), unfoldable.end(), c)) << static_cast<unsigned>(c);
    }
}

TEST_F(NameIndexTest, IndexedSearchListsExactlyWhatTheScanLists) {
    QRandomGenerator random(20261207);
    for (int i = 0; i < 600; ++i) {
        test::AddTestDog(store_, RandomText(random, 6), random.bounded(2) == 1);
    }
    test::AddTestDog(store_, QString(), true);  // no name
    for (int round = 0; round < 1500; ++round) {
        // Texts taken from names (so that most find something) and made up.
        QString text = RandomText(random, 3);
        if (round % 2 == 0) {
            const auto id = static_cast<qint32>(1 + random.bounded(600));
            // A piece of a name, cut between characters (never inside a surrogate pair).
            const QList<uint> name = store_.Database().ReadRow(id)->Text(Field::RegName).toUcs4();
            const auto start = static_cast<qsizetype>(random.bounded(static_cast<int>(std::max<qsizetype>(1, name.size()))));
            const QList<uint> piece = name.mid(start, 1 + static_cast<qsizetype>(random.bounded(6)));
            text = QString::fromUcs4(reinterpret_cast<const char32_t*>(piece.constData()), piece.size());
        }
        if (round % 7 == 0) {
            text = QStringLiteral("  ") + text + QStringLiteral(" ");
        }
        ExpectSameAsScan(text, static_cast<qint16>(static_cast<int>(random.bounded(3)) - 1));
    }
    for (const char* text : {"mül", "MÜL", "ss", "SSS", "fi", "ﬁ", "ı", "iii", "\"\"\"", "'\"-", "Ch. "}) {
        ExpectSameAsScan(QString::fromUtf8(text), -1);
    }
    EXPECT_FALSE(FindDogs(Connection(), QStringLiteral("mül"), -1).dogs.front().dog_id == 0);
    ExpectIndexIntact();
}

// The catalog of names must give the search's very result, order and count line included, in
// the C locale (where the list is ordered by folded characters) and in a real one (collation
// keys). Names differing only in letter case, and the same name twice, must come out in DogID
// order.
TEST_F(NameIndexTest, TheCatalogOfNamesListsExactlyWhatTheFileLists) {
    QRandomGenerator random(61207);
    for (int i = 0; i < 500; ++i) {
        const QString name = RandomText(random, 6);
        test::AddTestDog(store_, name, random.bounded(2) == 1);
        if (i % 10 == 0) {
            test::AddTestDog(store_, i % 20 == 0 ? name.toUpper() : name, random.bounded(2) == 1);
        }
    }
    test::AddTestDog(store_, QString(), true);
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        std::unique_ptr<NameCatalog> catalog = NameCatalog::Build(path_);
        ASSERT_TRUE(catalog);
        EXPECT_EQ(catalog->Size(), 550u);
        for (int round = 0; round < 400; ++round) {
            QString text = RandomText(random, 3);
            if (round % 2 == 0) {
                text = store_.Database().ReadRow(static_cast<qint32>(1 + random.bounded(550)))->Text(Field::RegName).left(4);
            }
            const auto hint = static_cast<qint16>(static_cast<int>(random.bounded(3)) - 1);
            const FindDogResult expected = FindDogs(Connection(), text, hint);
            const FindDogResult found = catalog->Find(text, hint);
            EXPECT_EQ(found.dogs, expected.dogs) << "text \"" << text.toStdString() << "\" hint " << hint;
            EXPECT_EQ(found.count_text, expected.count_text);
        }
        EXPECT_TRUE(catalog->Current());
    }
    QLocale::setDefault(before);
}

TEST_F(NameIndexTest, ACatalogOfNamesGoesOutOfDateWhenTheFileChanges) {
    test::AddTestDog(store_, QStringLiteral("Misty Morning"));
    test::AddTestDog(store_, QStringLiteral("Moonlit Mist"));
    std::unique_ptr<NameCatalog> catalog = NameCatalog::Build(path_);
    ASSERT_TRUE(catalog);
    EXPECT_EQ(catalog->Find(QStringLiteral("mist"), -1).count_text, QStringLiteral("2 dogs found"));
    test::AddTestDog(store_, QStringLiteral("Mistletoe"));
    store_.Database().DeleteRow(1);
    const FindDogResult after = catalog->Find(QStringLiteral("mist"), -1);
    EXPECT_FALSE(catalog->Current());
    EXPECT_EQ(after.dogs, FindDogs(Connection(), QStringLiteral("mist"), -1).dogs);
    EXPECT_EQ(after.count_text, QStringLiteral("2 dogs found"));
    EXPECT_EQ(after.dogs.front().reg_name, QStringLiteral("Mistletoe"));
}

TEST_F(NameIndexTest, TheIndexFollowsAddingRenamingAndDeletingDogs) {
    QRandomGenerator random(7);
    std::vector<qint32> ids;
    for (int i = 0; i < 200; ++i) {
        ids.push_back(test::AddTestDog(store_, RandomText(random, 5), random.bounded(2) == 1));
    }
    DogDatabase& database = store_.Database();
    DogDatabase::FieldMask name_only;
    name_only.set(static_cast<std::size_t>(IndexOf(Field::RegName)));
    for (int i = 0; i < 300; ++i) {
        const qint32 id = ids[static_cast<std::size_t>(random.bounded(static_cast<int>(ids.size())))];
        auto row = database.ReadRow(id);
        if (!row) {
            continue;
        }
        switch (random.bounded(3)) {
            case 0:
                row->SetValue(Field::RegName, RandomText(random, 5));
                database.UpdateRow(id, *row, name_only);
                break;
            case 1:
                row->SetValue(Field::RegName, QVariant());
                database.UpdateRow(id, *row, name_only);
                break;
            default:
                database.DeleteRow(id);
                break;
        }
    }
    for (int round = 0; round < 150; ++round) {
        ExpectSameAsScan(RandomText(random, 2), -1);
    }
    ExpectIndexIntact();
}

TEST_F(NameIndexTest, ChangesMadeWithTheSqliteShellKeepTheIndexRight) {
    for (const char* name : {"Misty Morning", "Straße Blue", "Moonlit Mist"}) {
        test::AddTestDog(store_, QString::fromUtf8(name));
    }
    store_.Close();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {path_, QStringLiteral("UPDATE DogInfo SET RegName = 'Cloudy Evening' WHERE DogID = 1;"
                                       "DELETE FROM DogInfo WHERE DogID = 3;"
                                       "INSERT INTO DogInfo (RegName) VALUES ('Mistletoe Strasse');")});
    ASSERT_TRUE(shell.waitForFinished(10000));
    ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    store_.Open(path_);
    ExpectIndexIntact();
    for (const char* text : {"mist", "morning", "evening", "strasse", "STRASSE", "moonlit"}) {
        ExpectSameAsScan(QString::fromUtf8(text), -1);
    }
    const FindDogResult result = FindDogs(Connection(), QStringLiteral("strasse"), -1);
    ASSERT_EQ(result.dogs.size(), 2u);  // "Straße Blue" upper-cases to "STRASSE BLUE"
}

TEST_F(NameIndexTest, ABackgroundSearchDeliversOnlyTheNewest) {
    for (int i = 0; i < 50; ++i) {
        test::AddTestDog(store_, QStringLiteral("Abcde %1").arg(i));
        if (i < 30) {
            test::AddTestDog(store_, QStringLiteral("Abxyz %1").arg(i));
        }
    }
    QObject context;
    BackgroundDogSearch search(path_);
    std::vector<QString> delivered;
    for (const char* text : {"ab", "abc", "abx"}) {
        search.Start(&context, QString::fromUtf8(text), -1, [&delivered](FindDogResult result) {
            delivered.push_back(result.count_text);
        });
    }
    search.Wait();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, std::vector<QString>{QStringLiteral("30 dogs found")});
    // Superseded after it ran: nothing is delivered.
    search.Start(&context, QStringLiteral("abc"), -1, [&delivered](FindDogResult) { delivered.push_back({}); });
    search.Wait();
    search.Supersede();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 1u);
    // Once the catalog of names is read, the searches go through it, with the same result.
    search.WaitForCatalog();
    search.Start(&context, QStringLiteral("abx"), -1, [&delivered](FindDogResult result) {
        delivered.push_back(result.count_text);
    });
    search.Wait();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.back(), QStringLiteral("30 dogs found"));
}

// The catalog of a closed dialog serves the next one, which must still list exactly what the
// file holds: after a change to it, and after another file has taken its name.
TEST_F(NameIndexTest, TheNextDialogListsWhatTheFileHoldsNow) {
    for (int i = 0; i < 5; ++i) {
        test::AddTestDog(store_, QStringLiteral("Abcde %1").arg(i));
    }
    QObject context;
    auto count = [&context](const QString& path) {
        BackgroundDogSearch search(path);
        search.WaitForCatalog();
        QString counted;
        search.Start(&context, QStringLiteral("abc"), -1, [&counted](FindDogResult result) { counted = result.count_text; });
        search.Wait();
        QCoreApplication::processEvents();
        return counted;
    };
    EXPECT_EQ(count(path_), QStringLiteral("5 dogs found"));
    test::AddTestDog(store_, QStringLiteral("Abcxyz"));
    EXPECT_EQ(count(path_), QStringLiteral("6 dogs found"));
    EXPECT_EQ(count(path_), QStringLiteral("6 dogs found"));

    const QString other = work_.File(QStringLiteral("Other.mdb"));
    test::CreateDatabase(other);
    {
        RecordStore store(other);
        test::AddTestDog(store, QStringLiteral("Abc Other"));
    }
    store_.Close();
    ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(path_).constData()), 0);
    EXPECT_EQ(count(path_), QStringLiteral("1 dog found"));
}

}  // namespace
}  // namespace lineara
