#include "store/DogSchema.h"

#include <QHash>

namespace lineara {

namespace {

using K = FieldKind;

// Column names and kinds in table order; the order matches the Field enumeration.
constexpr std::array<FieldDef, kFieldCount> kFields{{
    {"DogID", K::Long},
    {"SireID", K::Long},
    {"DamID", K::Long},
    {"RegName", K::Text},
    {"CallName", K::Text},
    {"Description", K::Text},
    {"DOB", K::Date},
    {"SexMale", K::YesNo},
    {"Altered", K::YesNo},
    {"CKCID", K::Text},
    {"AKCID", K::Text},
    {"OtherID", K::Text},
    {"TattooID", K::Text},
    {"MicrochipID", K::Text},
    {"Certifications", K::Text},
    {"PrintNotes", K::Memo},
    {"Comments", K::Memo},
    {"OtherCh", K::Text},
    {"OtherPreTitles", K::Text},
    {"OtherPostTitles", K::Text},
    {"AmCh", K::YesNo},
    {"CanCh", K::YesNo},
    {"ROM", K::YesNo},
    {"ROMC", K::YesNo},
    {"BIS", K::YesNo},
    {"BISS", K::YesNo},
    {"BPIS", K::YesNo},
    {"BPISS", K::YesNo},
    {"AmCD", K::YesNo},
    {"AmCDX", K::YesNo},
    {"AmUD", K::YesNo},
    {"AmUDX", K::YesNo},
    {"AmOTCh", K::YesNo},
    {"CanCD", K::YesNo},
    {"CanCDX", K::YesNo},
    {"CanOTCh", K::YesNo},
    {"HIT", K::YesNo},
    {"FD", K::YesNo},
    {"FDX", K::YesNo},
    {"FDCh", K::YesNo},
    {"JHD", K::YesNo},
    {"HTD", K::YesNo},
    {"HRD", K::YesNo},
    {"HCT", K::YesNo},
    {"HTCh", K::YesNo},
    {"PT", K::YesNo},
    {"HT", K::YesNo},
    {"HS", K::YesNo},
    {"HI", K::YesNo},
    {"HX", K::YesNo},
    {"HCh", K::YesNo},
    {"HC", K::YesNo},
    {"AD", K::YesNo},
    {"ADCh", K::YesNo},
    {"MAD", K::YesNo},
    {"VAD", K::YesNo},
    {"GM", K::YesNo},
    {"PM", K::YesNo},
    {"JM", K::YesNo},
    {"SM", K::YesNo},
    {"UAgI", K::YesNo},
    {"UAgII", K::YesNo},
    {"UAgIII", K::YesNo},
    {"UACh", K::YesNo},
    {"ADC", K::YesNo},
    {"AADC", K::YesNo},
    {"MADC", K::YesNo},
    {"NA", K::YesNo},
    {"OA", K::YesNo},
    {"AX", K::YesNo},
    {"TDI", K::YesNo},
    {"AmCGC", K::YesNo},
    {"CanCGC", K::YesNo},
    {"ForceCh", K::YesNo},
    {"IC", K::Double},
    {"SystemUseLongInt", K::Long},
    {"SystemUseText", K::Text},
}};

const QHash<QString, Field>& NameIndex() {
    static const QHash<QString, Field> index = [] {
        QHash<QString, Field> result;
        for (int i = 0; i < kFieldCount; ++i) {
            result.insert(QString::fromLatin1(kFields[i].name).toLower(), FieldAt(i));
        }
        return result;
    }();
    return index;
}

const char* SqlTypeOf(FieldKind kind) {
    switch (kind) {
        case K::Long:
        case K::YesNo:
            return "INTEGER";
        case K::Double:
            return "REAL";
        case K::Text:
        case K::Memo:
        case K::Date:
            return "TEXT";
    }
    return "TEXT";
}

}  // namespace

const FieldDef& DefinitionOf(Field field) { return kFields[static_cast<std::size_t>(field)]; }

int TypeCodeOf(Field field) {
    switch (KindOf(field)) {
        case K::Long:
            return kTypeLong;
        case K::Text:
            return kTypeText;
        case K::Memo:
            return kTypeMemo;
        case K::YesNo:
            return kTypeYesNo;
        case K::Date:
            return kTypeDate;
        case K::Double:
            return kTypeDouble;
    }
    return kTypeText;
}

int MaxLengthOf(Field field) {
    switch (KindOf(field)) {
        case K::Text:
            return kTextFieldSize;
        case K::Memo:
            return kMemoFieldSize;
        default:
            return 0;
    }
}

std::optional<Field> FieldByName(QStringView name) {
    const auto& index = NameIndex();
    const auto it = index.constFind(name.toString().toLower());
    if (it == index.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

namespace schema {

QString CreateStatements() {
    QString sql = QStringLiteral("CREATE TABLE DogInfo (\n");
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldDef& def = kFields[i];
        sql += QStringLiteral("    %1 %2").arg(QLatin1String(def.name), QLatin1String(SqlTypeOf(def.kind)));
        if (FieldAt(i) == Field::DogID) {
            sql += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        } else if (def.kind == K::Long || def.kind == K::YesNo) {
            sql += QStringLiteral(" NOT NULL DEFAULT 0");
        }
        sql += (i + 1 < kFieldCount) ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    sql += QStringLiteral(");\n");
    sql += QStringLiteral(
        "CREATE INDEX DogInfo_SireID ON DogInfo(SireID);\n"
        "CREATE INDEX DogInfo_DamID ON DogInfo(DamID);\n"
        "CREATE INDEX DogInfo_RegName ON DogInfo(RegName COLLATE NOCASE, SexMale);\n"
        "CREATE INDEX DogInfo_SystemUseText ON DogInfo(SystemUseText COLLATE NOCASE);\n"
        "CREATE INDEX DogInfo_SystemUseLongInt ON DogInfo(SystemUseLongInt);\n");
    // Names holding anything but printable ASCII are compared with Unicode case folding,
    // which keeps the number of characters; indexing them by length keeps that search short.
    sql += QStringLiteral("CREATE INDEX DogInfo_NonAsciiRegName ON DogInfo(length(RegName), RegName) WHERE %1;\n")
               .arg(QLatin1String(kNonAsciiRegName));
    sql += QStringLiteral(
               "CREATE INDEX DogInfo_NonAsciiSystemUseText ON DogInfo(length(SystemUseText), SystemUseText) WHERE %1;\n")
               .arg(QLatin1String(kNonAsciiSystemUseText));
    // The number of dogs, kept by the database itself so that counting a million dogs does
    // not mean reading a million index entries. Plain SQL, so other tools keep it right too.
    sql += QStringLiteral(
        "CREATE TABLE DogCount (Dogs INTEGER NOT NULL);\n"
        "INSERT INTO DogCount VALUES (0);\n"
        "CREATE TRIGGER DogInfo_Counted AFTER INSERT ON DogInfo "
        "BEGIN UPDATE DogCount SET Dogs = Dogs + 1; END;\n"
        "CREATE TRIGGER DogInfo_Uncounted AFTER DELETE ON DogInfo "
        "BEGIN UPDATE DogCount SET Dogs = Dogs - 1; END;\n");
    sql += NameIndexStatements();
    return sql;
}

// Worked out with UnfoldableCharacters() (Qt 6.4, SQLite 3.40) and written as ranges; the
// search checks at run time that the characters of its own libraries are all among them.
const char* const kUnfoldableCharacters =
    "\u00DF\u0131\u0149\u01F0\u025C\u0261\u026A\u026C\u0282\u0287\u029D\u029E\u0390\u03B0"
    "\u03F3\u0529\u052B\u052D\u052F\u0587\u10D0-\u10FA\u10FD-\u10FF\u13F8-\u13FD"
    "\u1C80-\u1C88\u1D8E\u1E96-\u1E9A\u1F50\u1F52\u1F54\u1F56\u1F80-\u1FAF\u1FB2-\u1FB4"
    "\u1FB6\u1FB7\u1FBC\u1FC2-\u1FC4\u1FC6\u1FC7\u1FCC\u1FD2\u1FD3\u1FD6\u1FD7"
    "\u1FE2-\u1FE4\u1FE6\u1FE7\u1FF2-\u1FF4\u1FF6\u1FF7\u1FFC\u2C5F\uA699\uA69B\uA794"
    "\uA797\uA799\uA79B\uA79D\uA79F\uA7B5\uA7B7\uA7B9\uA7BB\uA7BD\uA7BF\uA7C1\uA7C3\uA7C8"
    "\uA7CA\uA7D1\uA7D7\uA7D9\uA7F6\uAB53\uAB70-\uABBF\uFB00-\uFB06\uFB13-\uFB17\uFEFF"
    "\U000104D8-\U000104FB\U00010597-\U000105A1\U000105A3-\U000105B1\U000105B3-\U000105B9"
    "\U000105BB\U000105BC\U00010CC0-\U00010CF2\U000118C0-\U000118DF\U00016E60-\U00016E7F"
    "\U0001E922-\U0001E943";

QString UnfoldableRegName() {
    // Looking for the characters only in names outside printable ASCII keeps the test cheap
    // for almost every name.
    return QStringLiteral("%1 AND RegName GLOB '*[%2]*'")
        .arg(QLatin1String(kNonAsciiRegName), QString::fromUtf8(kUnfoldableCharacters));
}

QString NameIndexStatements() {
    // The index holds no copy of the names (they are read from DogInfo) and no positions:
    // it only narrows the search to names holding every three-letter piece of the text, and
    // the search itself then decides on each of them. The triggers are plain SQL, so a change
    // made with any SQLite tool keeps the index right.
    return QStringLiteral(
        "CREATE VIRTUAL TABLE DogNameIndex USING fts5(RegName, content='DogInfo', "
        "content_rowid='DogID', tokenize='trigram', detail='none', columnsize=0);\n"
        "CREATE TRIGGER DogInfo_NameAdded AFTER INSERT ON DogInfo BEGIN "
        "INSERT INTO DogNameIndex(rowid, RegName) VALUES (new.DogID, new.RegName); END;\n"
        "CREATE TRIGGER DogInfo_NameRemoved AFTER DELETE ON DogInfo BEGIN "
        "INSERT INTO DogNameIndex(DogNameIndex, rowid, RegName) VALUES ('delete', old.DogID, old.RegName); END;\n"
        "CREATE TRIGGER DogInfo_NameChanged AFTER UPDATE OF DogID, RegName ON DogInfo BEGIN "
        "INSERT INTO DogNameIndex(DogNameIndex, rowid, RegName) VALUES ('delete', old.DogID, old.RegName); "
        "INSERT INTO DogNameIndex(rowid, RegName) VALUES (new.DogID, new.RegName); END;\n") +
           // The few names the trigram index cannot answer for, looked at one by one.
           QStringLiteral("CREATE INDEX DogInfo_UnfoldableRegName ON DogInfo(RegName, SexMale) WHERE %1;\n")
               .arg(UnfoldableRegName());
}

QString DropNameIndexStatements() {
    return QStringLiteral(
        "DROP TRIGGER DogInfo_NameAdded;\n"
        "DROP TRIGGER DogInfo_NameRemoved;\n"
        "DROP TRIGGER DogInfo_NameChanged;\n"
        "DROP TABLE DogNameIndex;\n"
        "DROP INDEX DogInfo_UnfoldableRegName;\n");
}

const QString& ColumnList() {
    static const QString list = [] {
        QString result;
        for (int i = 0; i < kFieldCount; ++i) {
            if (i > 0) {
                result += QLatin1Char(',');
            }
            result += QLatin1String(kFields[i].name);
        }
        return result;
    }();
    return list;
}

}  // namespace schema

}  // namespace lineara
