#include "records/FindDogSearch.h"

#include "store/DogSchema.h"
#include "store/NameFolding.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace lineara {

namespace {

// Characters of the Basic Multilingual Plane outside ASCII whose upper case holds an ASCII
// letter ("ß" gives "SS", the dotless "ı" gives "I", "ﬁ" gives "FI"). Worked out once from
// Qt's own case tables, so it always agrees with QString::toUpper.
const std::vector<bool>& UpperCasesToAscii() {
    static const std::vector<bool> table = [] {
        std::vector<bool> to_ascii(0x10000, false);
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000) {
                continue;
            }
            const QString upper = QString(QChar(static_cast<char16_t>(c))).toUpper();
            to_ascii[c] =
                std::any_of(upper.begin(), upper.end(), [](QChar u) { return u.unicode() < 0x80; });
        }
        return to_ascii;
    }();
    return table;
}

// Whether the UTF-8 name upper-cases character by character into ASCII and non-ASCII
// characters separately: then an ASCII search text can only match within its ASCII runs.
// Anything unusual (characters beyond the BMP, broken UTF-8) answers no.
bool KeepsAsciiApart(std::string_view name) {
    const std::vector<bool>& to_ascii = UpperCasesToAscii();
    for (std::size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead >= 0xF0 || i + length > name.size()) {
            return false;
        }
        char32_t c = lead & (length == 2 ? 0x1F : 0x0F);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(name[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (c < 0x80 || c >= 0x10000 || to_ascii[c]) {
            return false;
        }
        i += length;
    }
    return true;
}

// Matches registered names against the upper-cased search text the way the user expects:
// both sides upper-cased, the text anywhere in the name.
//
// An ASCII search text is looked for byte by byte straight in the database's buffer, with
// ASCII letters upper-cased: for almost every name this is exactly what upper-casing the
// whole name would give, and it keeps a search of a million names fast. Names where it is
// not (they hold characters such as "ß" that upper-case into ASCII), and every name when the
// search text itself is not ASCII, go through QString's full upper-casing.
class NameMatcher {
public:
    explicit NameMatcher(const QString& needle_upper)
        : needle_(needle_upper),
          ascii_needle_(std::all_of(needle_upper.begin(), needle_upper.end(),
                                    [](QChar c) { return c.unicode() < 0x80; })),
          needle_bytes_(needle_upper.toUtf8()) {}

    bool Matches(std::string_view name) const {
        const bool ascii_name = std::all_of(
            name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii_name) {
            // An ASCII name upper-cases to ASCII, which cannot hold anything else.
            return ascii_needle_ && ContainsAscii(name);
        }
        if (ascii_needle_ && KeepsAsciiApart(name)) {
            return ContainsAscii(name);
        }
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
            .toUpper()
            .contains(needle_);
    }

private:
    static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

    // Bytes of multi-byte characters are 0x80 and above and never equal a byte of the text.
    bool ContainsAscii(std::string_view name) const {
        const std::string_view needle(needle_bytes_.constData(),
                                      static_cast<std::size_t>(needle_bytes_.size()));
        for (std::size_t start = 0; start + needle.size() <= name.size(); ++start) {
            std::size_t i = 0;
            while (i < needle.size() && Upper(name[start + i]) == needle[i]) {
                ++i;
            }
            if (i == needle.size()) {
                return true;
            }
        }
        return false;
    }

    QString needle_;
    bool ascii_needle_;
    QByteArray needle_bytes_;
};

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using RawStatement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

RawStatement Prepare(sqlite::Connection& connection, const char* sql) {
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v2(connection.Handle(), sql, -1, &prepared, nullptr);
    RawStatement statement(prepared);
    if (rc != SQLITE_OK) {
        throw sqlite::Error(rc, sqlite3_errmsg(connection.Handle()));
    }
    return statement;
}

// Runs a statement returning DogID, RegName and SexMale, and keeps the dogs of the hinted
// sex whose name matches. Each name is looked at in place, without copying. A Null SexMale
// reads as female, like every Yes/No field.
void CollectMatches(sqlite::Connection& connection, sqlite3_stmt* statement, const NameMatcher& matcher,
                    qint16 sex_hint, const SearchStale& stale, std::vector<FoundDog>& dogs) {
    int step = SQLITE_ROW;
    const bool any_sex = sex_hint != 0 && sex_hint != 1;
    const bool want_male = sex_hint == 1;
    unsigned rows = 0;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        if (stale && (++rows & 0xfff) == 0 && stale()) {
            throw SearchSuperseded();
        }
        if (!any_sex && (sqlite3_column_int64(statement, 2) != 0) != want_male) {
            continue;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        const std::string_view name(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, 1)));
        if (matcher.Matches(name)) {
            dogs.push_back({QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                            static_cast<qint32>(sqlite3_column_int64(statement, 0))});
        }
    }
    if (step != SQLITE_DONE) {
        throw sqlite::Error(step, sqlite3_errmsg(connection.Handle()));
    }
}

void SortById(std::vector<FoundDog>& dogs) {
    std::sort(dogs.begin(), dogs.end(), [](const FoundDog& a, const FoundDog& b) { return a.dog_id < b.dog_id; });
}

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Every matching dog, in DogID order, by looking at every name. Asking for nothing but
// DogID, RegName and SexMale lets SQLite read them all from the index on RegName, a small
// fraction of the table.
std::vector<FoundDog> ScanDogs(sqlite::Connection& connection, const NameMatcher& matcher, qint16 sex_hint,
                               const SearchStale& stale) {
    RawStatement scan = Prepare(connection, "SELECT DogID, RegName, SexMale FROM DogInfo WHERE RegName IS NOT NULL");
    std::vector<FoundDog> dogs;
    CollectMatches(connection, scan.get(), matcher, sex_hint, stale, dogs);
    SortById(dogs);
    return dogs;
}

// The trigram index and the partial index of unfoldable names came with layout 2.
bool HasNameIndex(sqlite::Connection& connection) { return connection.QueryInteger("PRAGMA user_version") >= 2; }

// The query that narrows the search to names holding every piece of three characters of the
// needle (the index keeps no positions, so it cannot ask for them in order; the matcher
// does that). Each piece is a quoted string, a double quote inside written twice.
QByteArray TrigramQuery(const QString& needle) {
    const QList<uint> characters = needle.toUcs4();
    QStringList pieces;
    for (qsizetype i = 0; i + 3 <= characters.size(); ++i) {
        QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData() + i), 3);
        piece.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        piece = QLatin1Char('"') + piece + QLatin1Char('"');
        if (!pieces.contains(piece)) {
            pieces << piece;
        }
    }
    return pieces.join(QLatin1Char(' ')).toUtf8();
}

// The same dogs as ScanMatchingDogs, found through the trigram index where it cannot miss.
//
// The index folds each character on its own; the search upper-cases. For a name of
// characters on which the two agree (every name of ASCII letters, and nearly every other),
// the name holds the text exactly when its folded form holds the folded text, so the index
// finds it; the matcher then decides on each candidate. The names it cannot answer for hold
// a character such as "ß" (upper-cased "SS") or the dotless "ı" (upper-cased "I"); they are
// few, and they are all looked at, through a partial index of their own. Should this run's
// libraries know such characters the partial index was not made for, every name outside
// printable ASCII is looked at instead.
std::vector<FoundDog> IndexedMatchingDogs(sqlite::Connection& connection, const QString& needle,
                                          const NameMatcher& matcher, qint16 sex_hint, const SearchStale& stale) {
    std::vector<FoundDog> dogs;
    const bool covered = UnfoldableIndexCovers();
    if (covered || IsAscii(needle)) {
        RawStatement indexed = Prepare(connection,
                                       "SELECT d.DogID, d.RegName, d.SexMale FROM DogNameIndex AS i "
                                       "JOIN DogInfo AS d ON d.DogID = i.rowid WHERE DogNameIndex MATCH ?1");
        const QByteArray phrase = TrigramQuery(needle);
        sqlite3_bind_text(indexed.get(), 1, phrase.constData(), static_cast<int>(phrase.size()), SQLITE_TRANSIENT);
        CollectMatches(connection, indexed.get(), matcher, sex_hint, stale, dogs);
    }
    const QString others = covered ? schema::UnfoldableRegName() : QString::fromLatin1(schema::kNonAsciiRegName);
    RawStatement rest =
        Prepare(connection, QStringLiteral("SELECT DogID, RegName, SexMale FROM DogInfo WHERE %1").arg(others).toUtf8().constData());
    CollectMatches(connection, rest.get(), matcher, sex_hint, stale, dogs);
    // A name may have come from both queries.
    SortById(dogs);
    dogs.erase(std::unique(dogs.begin(), dogs.end(),
                           [](const FoundDog& a, const FoundDog& b) { return a.dog_id == b.dog_id; }),
               dogs.end());
    return dogs;
}

// Appends a value of up to 21 bits in UTF-8's form, any value (surrogates too): bytes so
// written compare as the values they stand for, value by value.
void AppendOrdered(std::string& bytes, char32_t value) {
    if (value < 0x80) {
        bytes.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (value >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (value >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (value >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

// Alphabetical order ignoring letter case, as a breeder reads names; names that compare
// equal keep the order in which they come (the lists come in DogID order, so dogs of the same
// name keep the order in which they were entered). The order is that of the collator of the
// user's locale comparing names with letter case ignored.
//
// In a real locale each name's collation key is made once and the keys are compared, which
// orders exactly as comparing the names with the collator does, at a fraction of the cost
// for a long list. In the C locale Qt's keys are the names' bytes, letter case kept, so they
// do not give the collator's order there; its comparison folds the case of each UTF-16 unit
// (of each whole character where a surrogate pair makes one) and compares the folded values,
// the shorter name first where one begins the other. The names are folded so once each and
// compared the same way.
//
// With `ranks`, each name also gets its place in the order, names that compare equal sharing
// one: ordering any part of the names by (rank, position) orders it as this would.
//
// Setting `stop` meanwhile ends the work by throwing OrderStopped.
//
// `nearly_sorted` says the names come close to that order already (as read from the index on
// RegName): the runs already in order are then merged rather than the whole sorted afresh.
// Either way the order is the same: no two positions compare equal.
struct OrderStopped {};

template <class T, class Less>
void SortInOrder(std::vector<T>& items, Less less, bool nearly_sorted) {
    if (!nearly_sorted) {
        std::sort(items.begin(), items.end(), less);
        return;
    }
    std::vector<std::size_t> bounds{0};  // where each run in order begins, and the end
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (less(items[i], items[i - 1])) {
            bounds.push_back(i);
        }
    }
    bounds.push_back(items.size());
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged{0};
        std::size_t k = 0;
        for (; k + 2 < bounds.size(); k += 2) {
            std::inplace_merge(items.begin() + static_cast<std::ptrdiff_t>(bounds[k]),
                               items.begin() + static_cast<std::ptrdiff_t>(bounds[k + 1]),
                               items.begin() + static_cast<std::ptrdiff_t>(bounds[k + 2]), less);
            merged.push_back(bounds[k + 2]);
        }
        if (k + 1 < bounds.size() && merged.back() != bounds.back()) {
            merged.push_back(bounds.back());  // an odd run out waits for the next round
        }
        bounds = std::move(merged);
    }
}

std::vector<std::uint32_t> AlphabeticalOrder(std::size_t count, const std::function<QString(std::size_t)>& name_at,
                                             std::vector<std::uint32_t>* ranks = nullptr,
                                             const std::atomic<bool>* stop = nullptr, bool nearly_sorted = false) {
    const auto check = [stop](std::size_t i) {
        if (stop && (i & 0xfff) == 0 && stop->load(std::memory_order_relaxed)) {
            throw OrderStopped();
        }
    };
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    // Three-way comparison of the names at two positions.
    std::function<int(std::uint32_t, std::uint32_t)> compare;
    std::vector<QCollatorSortKey> keys;
    struct Entry {
        quint64 prefix = 0;
        std::uint32_t index = 0;
    };
    std::vector<Entry> entries;
    std::vector<std::uint32_t> offsets;
    std::string bytes;
    if (collator.locale().language() != QLocale::C) {
        keys.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            check(i);
            keys.push_back(collator.sortKey(name_at(i)));
        }
        compare = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]); };
        std::size_t compared = 0;
        SortInOrder(
            order,
            [&](std::uint32_t a, std::uint32_t b) {
                check(++compared);
                const int c = keys[a].compare(keys[b]);
                return c != 0 ? c < 0 : a < b;
            },
            nearly_sorted);
    } else {
        // Each name as the comparison sees it: every UTF-16 unit case-folded, a low surrogate
        // after a high one folded as the whole character. The folded values are written as
        // UTF-8 would write them (surrogate values too), whose bytes order as the values do,
        // one name after another in one buffer; the first eight bytes of each travel with it
        // through the sort as one number, so that most comparisons look at nothing else.
        entries.resize(count);
        offsets.resize(count + 1);
        bytes.reserve(count * 40);
        for (std::size_t i = 0; i < count; ++i) {
            check(i);
            const QString name = name_at(i);
            offsets[i] = static_cast<std::uint32_t>(bytes.size());
            char16_t last = 0;
            for (qsizetype k = 0; k < name.size(); ++k) {
                const char16_t c = name[k].unicode();
                char32_t unit = 0;
                if (c < 0x80) {
                    unit = c >= u'A' && c <= u'Z' ? c + 32 : c;
                } else if (QChar::isLowSurrogate(c) && QChar::isHighSurrogate(last)) {
                    unit = QChar::toCaseFolded(QChar::surrogateToUcs4(last, c));
                } else {
                    unit = QChar::toCaseFolded(static_cast<char32_t>(c));
                }
                last = c;
                AppendOrdered(bytes, unit);
            }
            Entry& entry = entries[i];
            entry.index = static_cast<std::uint32_t>(i);
            const std::size_t length = bytes.size() - offsets[i];
            for (std::size_t k = 0; k < 8 && k < length; ++k) {
                entry.prefix |=
                    static_cast<quint64>(static_cast<unsigned char>(bytes[offsets[i] + k]))
                    << (56 - 8 * k);
            }
        }
        offsets[count] = static_cast<std::uint32_t>(bytes.size());
        const char* base = bytes.data();
        const auto folded_compare = [&, base](std::uint32_t a, std::uint32_t b) {
            if (entries[a].prefix != entries[b].prefix) {
                return entries[a].prefix < entries[b].prefix ? -1 : 1;
            }
            const std::uint32_t la = offsets[a + 1] - offsets[a];
            const std::uint32_t lb = offsets[b + 1] - offsets[b];
            const int c = std::memcmp(base + offsets[a], base + offsets[b], std::min(la, lb));
            if (c != 0) {
                return c;
            }
            return la == lb ? 0 : (la < lb ? -1 : 1);
        };
        compare = folded_compare;
        std::vector<Entry> sorted = entries;
        std::size_t compared = 0;
        SortInOrder(
            sorted,
            [&](const Entry& a, const Entry& b) {
                check(++compared);
                if (a.prefix != b.prefix) {
                    return a.prefix < b.prefix;
                }
                const int c = folded_compare(a.index, b.index);
                return c != 0 ? c < 0 : a.index < b.index;
            },
            nearly_sorted);
        for (std::size_t i = 0; i < count; ++i) {
            order[i] = sorted[i].index;
        }
    }
    if (ranks) {
        ranks->assign(count, 0);
        std::uint32_t rank = 0;
        for (std::size_t i = 1; i < count; ++i) {
            if (compare(order[i - 1], order[i]) != 0) {
                ++rank;
            }
            (*ranks)[order[i]] = rank;
        }
    }
    return order;
}

void SortByName(std::vector<FoundDog>& dogs) {
    const std::vector<std::uint32_t> order =
        AlphabeticalOrder(dogs.size(), [&dogs](std::size_t i) { return dogs[i].reg_name; });
    std::vector<FoundDog> sorted;
    sorted.reserve(dogs.size());
    for (const std::uint32_t i : order) {
        sorted.push_back(std::move(dogs[i]));
    }
    dogs = std::move(sorted);
}

QString SexWord(qint16 sex_hint) {
    switch (sex_hint) {
        case 1:
            return QStringLiteral(" male ");
        case 0:
            return QStringLiteral(" female ");
        default:
            return QStringLiteral(" ");
    }
}

}  // namespace

std::vector<FoundDog> ScanMatchingDogs(sqlite::Connection& connection, const QString& needle_upper, qint16 sex_hint) {
    return ScanDogs(connection, NameMatcher(needle_upper), sex_hint, {});
}

FindDogResult FindDogs(RecordStore& store, const QString& text, qint16 sex_hint) {
    return FindDogs(store.Database().Connection(), text, sex_hint);
}

namespace {

// The finished result: the sorted list and the line saying how many were found.
FindDogResult Listed(std::vector<FoundDog> dogs, qint16 sex_hint) {
    FindDogResult result;
    result.dogs = std::move(dogs);
    const QString sex_word = SexWord(sex_hint);
    switch (result.dogs.size()) {
        case 0:
            result.dogs.push_back({kNoMatchFound, 0});
            result.count_text = QStringLiteral("No") + sex_word + QStringLiteral("dogs found");
            break;
        case 1:
            result.count_text = QStringLiteral("1 dog found");
            break;
        default:
            result.count_text =
                QString::number(result.dogs.size()) + sex_word + QStringLiteral("dogs found");
            break;
    }
    return result;
}

// The index works on pieces of three letters: shorter texts are looked for name by name.
bool UsesIndex(sqlite::Connection& connection, const QString& needle) {
    return needle.toUcs4().size() >= 3 && HasNameIndex(connection);
}

}  // namespace

FindDogResult FindDogs(sqlite::Connection& connection, const QString& text, qint16 sex_hint, const SearchStale& stale) {
    const QString needle = text.trimmed().toUpper();
    if (needle.isEmpty()) {
        return {};
    }
    const NameMatcher matcher(needle);
    std::vector<FoundDog> dogs = UsesIndex(connection, needle)
                                     ? IndexedMatchingDogs(connection, needle, matcher, sex_hint, stale)
                                     : ScanDogs(connection, matcher, sex_hint, stale);
    SortByName(dogs);
    return Listed(std::move(dogs), sex_hint);
}

std::unique_ptr<NameCatalog> NameCatalog::Build(const QString& path, const std::atomic<bool>* stop) {
    std::unique_ptr<NameCatalog> catalog(new NameCatalog);
    try {
        catalog->path_ = path;
        struct stat file {};
        if (stat(QFile::encodeName(path).constData(), &file) != 0) {
            return nullptr;
        }
        catalog->device_ = static_cast<quint64>(file.st_dev);
        catalog->inode_ = static_cast<quint64>(file.st_ino);
        catalog->connection_ = OpenSearchConnection(path);
        sqlite::Connection& connection = catalog->connection_;
        if (stop) {
            sqlite3_progress_handler(
                connection.Handle(), 10000,
                [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
                const_cast<std::atomic<bool>*>(stop));
        }
        connection.Execute("BEGIN");
        // Read inside the transaction, the version belongs to the state the names come from.
        catalog->data_version_ = connection.QueryInteger("PRAGMA data_version");
        if (!HasNameIndex(connection)) {
            return nullptr;  // a file of an older layout: every search looks at every name anyway
        }
        // Read from the index on RegName, a small fraction of the table, in name order.
        RawStatement names = Prepare(connection, "SELECT DogID, RegName, SexMale FROM DogInfo WHERE RegName IS NOT NULL");
        std::vector<Entry>& entries = catalog->entries_;
        std::string& bytes = catalog->names_;
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(names.get())) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(names.get(), 1));
            const auto length = static_cast<std::size_t>(sqlite3_column_bytes(names.get(), 1));
            if (bytes.size() + length > 0xFFFFFFFFu) {
                return nullptr;  // more than 4 GB of names: search the file instead
            }
            entries.push_back({static_cast<qint32>(sqlite3_column_int64(names.get(), 0)),
                               static_cast<std::uint32_t>(bytes.size()), static_cast<std::uint32_t>(length), 0,
                               sqlite3_column_int64(names.get(), 2) != 0});
            bytes.append(text ? text : "", length);
        }
        if (step != SQLITE_DONE) {
            return nullptr;  // stopped, or the file could not be read: the searches will say
        }
        connection.Execute("COMMIT");
        if (stop) {
            sqlite3_progress_handler(connection.Handle(), 0, nullptr, nullptr);
        }
        entries.shrink_to_fit();
        bytes.shrink_to_fit();
        if (stop && stop->load()) {
            return nullptr;
        }
        // The places in alphabetical order, worked out in the order read, which is nearly it.
        std::vector<std::uint32_t> ranks;
        AlphabeticalOrder(
            entries.size(),
            [&catalog](std::size_t i) {
                const std::string_view name = catalog->Name(i);
                return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            },
            &ranks, stop, true);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i].rank = ranks[i];
        }
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    } catch (const OrderStopped&) {
        return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    return catalog;
}

bool NameCatalog::IsOf(const QString& path) const {
    struct stat file {};
    return path == path_ && stat(QFile::encodeName(path).constData(), &file) == 0 &&
           static_cast<quint64>(file.st_dev) == device_ && static_cast<quint64>(file.st_ino) == inode_;
}

std::string_view NameCatalog::Name(std::size_t place) const {
    return std::string_view(names_).substr(entries_[place].offset, entries_[place].length);
}

std::size_t NameCatalog::PlaceOf(qint32 id, std::size_t from) const {
    const auto found = std::lower_bound(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(from, entries_.size())),
                                        entries_.end(), id, [](const Entry& e, qint32 value) { return e.id < value; });
    return found != entries_.end() && found->id == id ? static_cast<std::size_t>(found - entries_.begin()) : kNowhere;
}

FindDogResult NameCatalog::Find(const QString& text, qint16 sex_hint, const SearchStale& stale) {
    const QString needle = text.trimmed().toUpper();
    if (needle.isEmpty()) {
        return {};
    }
    // One read transaction: the version checked is that of the state searched.
    connection_.Execute("BEGIN");
    struct EndRead {
        sqlite::Connection& connection;
        ~EndRead() {
            try {
                connection.Execute("COMMIT");
            } catch (const sqlite::Error&) {
            }
        }
    } end_read{connection_};
    if (current_ && connection_.QueryInteger("PRAGMA data_version") != data_version_) {
        current_ = false;  // changed since: the names here are no longer the file's
    }
    if (!current_ || !UsesIndex(connection_, needle)) {
        return FindDogs(connection_, text, sex_hint, stale);
    }
    const NameMatcher matcher(needle);
    const bool any_sex = sex_hint != 0 && sex_hint != 1;
    const bool want_male = sex_hint == 1;
    std::vector<std::size_t> places;
    // The same two questions as IndexedMatchingDogs, each candidate's name taken from here.
    const bool covered = UnfoldableIndexCovers();
    if (covered || IsAscii(needle)) {
        RawStatement indexed = Prepare(connection_, "SELECT rowid FROM DogNameIndex WHERE DogNameIndex MATCH ?1");
        const QByteArray phrase = TrigramQuery(needle);
        sqlite3_bind_text(indexed.get(), 1, phrase.constData(), static_cast<int>(phrase.size()), SQLITE_TRANSIENT);
        int step = SQLITE_ROW;
        unsigned rows = 0;
        std::size_t from = 0;  // the index lists its dogs in DogID order
        while ((step = sqlite3_step(indexed.get())) == SQLITE_ROW) {
            if (stale && (++rows & 0xfff) == 0 && stale()) {
                throw SearchSuperseded();
            }
            const std::size_t place = PlaceOf(static_cast<qint32>(sqlite3_column_int64(indexed.get(), 0)), from);
            if (place == kNowhere) {
                continue;  // no named dog of that number, as the join with the table would find
            }
            from = place;
            if ((any_sex || entries_[place].male == want_male) && matcher.Matches(Name(place))) {
                places.push_back(place);
            }
        }
        if (step != SQLITE_DONE) {
            throw sqlite::Error(step, sqlite3_errmsg(connection_.Handle()));
        }
    }
    std::vector<FoundDog> others;
    const QString unfoldable = covered ? schema::UnfoldableRegName() : QString::fromLatin1(schema::kNonAsciiRegName);
    RawStatement rest = Prepare(
        connection_, QStringLiteral("SELECT DogID, RegName, SexMale FROM DogInfo WHERE %1").arg(unfoldable).toUtf8().constData());
    CollectMatches(connection_, rest.get(), matcher, sex_hint, stale, others);
    for (const FoundDog& dog : others) {
        const std::size_t place = PlaceOf(dog.dog_id, 0);
        if (place == kNowhere) {
            // Cannot be while the version agrees; should it be, the file is the judge.
            current_ = false;
            return FindDogs(connection_, text, sex_hint, stale);
        }
        places.push_back(place);
    }
    // Places are in DogID order: sorting by rank and then place puts equal names in DogID order.
    std::sort(places.begin(), places.end(), [this](std::size_t a, std::size_t b) {
        return entries_[a].rank != entries_[b].rank ? entries_[a].rank < entries_[b].rank : a < b;
    });
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::vector<FoundDog> dogs;
    dogs.reserve(places.size());
    for (const std::size_t place : places) {
        const std::string_view name = Name(place);
        dogs.push_back({QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), entries_[place].id});
    }
    return Listed(std::move(dogs), sex_hint);
}

sqlite::Connection OpenSearchConnection(const QString& path) {
    sqlite::Connection connection(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX);
    sqlite3_busy_timeout(connection.Handle(), 2000);
    // Reading the file through a memory map spares a system call for every page the search
    // visits, about a third of its time on a large studbook.
    connection.Execute("PRAGMA mmap_size = 1073741824");
    return connection;
}

namespace {

// The catalog of the last find dialog closed, for the next one.
std::mutex parked_mutex;
std::unique_ptr<NameCatalog> parked_catalog;

std::unique_ptr<NameCatalog> TakeParkedCatalog(const QString& path) {
    const std::lock_guard<std::mutex> lock(parked_mutex);
    std::unique_ptr<NameCatalog> catalog = std::move(parked_catalog);
    if (catalog && !catalog->IsOf(path)) {
        catalog.reset();
    }
    return catalog;
}

void ParkCatalog(std::unique_ptr<NameCatalog> catalog) {
    const std::lock_guard<std::mutex> lock(parked_mutex);
    parked_catalog = std::move(catalog);
}

}  // namespace

BackgroundDogSearch::BackgroundDogSearch(QString path) : path_(std::move(path)) {
    pool_.setMaxThreadCount(1);
    // The first search of a connection maps the pages it visits: about 150 ms on a studbook
    // of a million dogs. While the user starts typing, one pass over the table maps them; a
    // search begun meanwhile, or closing the dialog, stops the pass where it is.
    pool_.start([this] {
        try {
            connection_ = OpenSearchConnection(path_);
            sqlite3_progress_handler(
                connection_.Handle(), 10000,
                [](void* stop) { return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0; },
                &stop_warming_);
            try {
                connection_.QueryInteger("SELECT count(*) FROM DogInfo NOT INDEXED WHERE SexMale IS 2");
            } catch (const sqlite::Error&) {
                // interrupted by a search, or a file that cannot be read: the search will say
            }
            sqlite3_progress_handler(connection_.Handle(), 0, nullptr, nullptr);
        } catch (const std::exception&) {
            connection_.Close();
        }
    });
    built_ = TakeParkedCatalog(path_);
    if (!built_) {
        StartCatalog();
    }
}

void BackgroundDogSearch::StartCatalog() {
    if (building_.exchange(true)) {
        return;
    }
    const std::lock_guard<std::mutex> lock(thread_mutex_);
    if (catalog_thread_.joinable()) {
        catalog_thread_.join();  // the one before, finished
    }
    catalog_thread_ = std::thread([this] {
        std::unique_ptr<NameCatalog> catalog = NameCatalog::Build(path_, &stop_catalog_);
        const std::lock_guard<std::mutex> built(catalog_mutex_);
        built_ = std::move(catalog);
        building_ = false;
    });
}

BackgroundDogSearch::~BackgroundDogSearch() {
    stop_warming_ = true;
    stop_catalog_ = true;
    Supersede();
    pool_.clear();
    pool_.waitForDone();
    WaitForCatalog();
    // Kept for the next dialog on this file (a catalog found out of date is not kept).
    if (catalog_ && catalog_->Current()) {
        ParkCatalog(std::move(catalog_));
    } else if (built_) {
        ParkCatalog(std::move(built_));
    }
}

void BackgroundDogSearch::Wait() { pool_.waitForDone(); }

void BackgroundDogSearch::WaitForCatalog() {
    const std::lock_guard<std::mutex> lock(thread_mutex_);
    if (catalog_thread_.joinable()) {
        catalog_thread_.join();
    }
}

void BackgroundDogSearch::Start(QObject* context, const QString& text, qint16 sex_hint,
                                std::function<void(FindDogResult)> deliver) {
    const quint64 serial = ++*latest_;
    stop_warming_ = true;
    pool_.clear();  // searches not begun yet are useless now
    pool_.start([this, context, text, sex_hint, serial, deliver = std::move(deliver)] {
        const auto stale = [latest = latest_, serial] { return latest->load() != serial; };
        if (stale()) {
            return;
        }
        try {
            {
                const std::lock_guard<std::mutex> lock(catalog_mutex_);
                if (built_) {
                    catalog_ = std::move(built_);
                }
            }
            if (catalog_ && !catalog_->Current()) {
                catalog_.reset();  // the file has changed since it was read: read it again
                StartCatalog();
            }
            FindDogResult result;
            if (catalog_) {
                try {
                    result = catalog_->Find(text, sex_hint, stale);
                } catch (const sqlite::Error&) {
                    catalog_.reset();
                    throw;
                }
                if (!catalog_->Current()) {
                    catalog_.reset();  // this search went to the file; the next ones will too
                    StartCatalog();
                }
            } else {
                if (!connection_.IsOpen()) {
                    connection_ = OpenSearchConnection(path_);
                }
                result = FindDogs(connection_, text, sex_hint, stale);
            }
            QMetaObject::invokeMethod(
                context,
                [latest = latest_, serial, deliver, result = std::move(result)]() mutable {
                    if (latest->load() == serial) {
                        deliver(std::move(result));
                    }
                },
                Qt::QueuedConnection);
        } catch (const SearchSuperseded&) {
        } catch (const std::exception&) {
            connection_.Close();
        }
    });
}

}  // namespace lineara
