#include "records/FindDogSearch.h"

#include <QCollator>
#include <QLocale>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
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

// Every named dog of the hinted sex whose name matches, in DogID order. Asking for nothing
// but DogID, RegName and SexMale lets SQLite read them all from the index on RegName, a
// small fraction of the table, and each name is looked at in place, without copying. A Null
// SexMale reads as female, like every Yes/No field.
std::vector<FoundDog> MatchingDogs(sqlite::Connection& connection, const NameMatcher& matcher,
                                   qint16 sex_hint) {
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v2(
        connection.Handle(), "SELECT DogID, RegName, SexMale FROM DogInfo WHERE RegName IS NOT NULL",
        -1, &prepared, nullptr);
    RawStatement scan(prepared);
    if (rc != SQLITE_OK) {
        throw sqlite::Error(rc, sqlite3_errmsg(connection.Handle()));
    }
    std::vector<FoundDog> dogs;
    int step = SQLITE_ROW;
    const bool any_sex = sex_hint != 0 && sex_hint != 1;
    const bool want_male = sex_hint == 1;
    while ((step = sqlite3_step(scan.get())) == SQLITE_ROW) {
        if (!any_sex && (sqlite3_column_int64(scan.get(), 2) != 0) != want_male) {
            continue;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(scan.get(), 1));
        const std::string_view name(text ? text : "",
                                    static_cast<std::size_t>(sqlite3_column_bytes(scan.get(), 1)));
        if (matcher.Matches(name)) {
            dogs.push_back({QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                            static_cast<qint32>(sqlite3_column_int64(scan.get(), 0))});
        }
    }
    if (step != SQLITE_DONE) {
        throw sqlite::Error(step, sqlite3_errmsg(connection.Handle()));
    }
    std::sort(dogs.begin(), dogs.end(),
              [](const FoundDog& a, const FoundDog& b) { return a.dog_id < b.dog_id; });
    return dogs;
}

// Alphabetical order ignoring letter case, as a breeder reads names; dogs of the same name
// keep the order in which they were entered (the input is in DogID order).
void SortByName(std::vector<FoundDog>& dogs) {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(dogs.begin(), dogs.end(), [&](const FoundDog& a, const FoundDog& b) {
        return collator.compare(a.reg_name, b.reg_name) < 0;
    });
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

FindDogResult FindDogs(RecordStore& store, const QString& text, qint16 sex_hint) {
    const QString needle = text.trimmed().toUpper();
    if (needle.isEmpty()) {
        return {};
    }
    sqlite::Connection& connection = store.Database().Connection();
    FindDogResult result;
    result.dogs = MatchingDogs(connection, NameMatcher(needle), sex_hint);
    SortByName(result.dogs);

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

}  // namespace lineara
