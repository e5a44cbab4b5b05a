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
    return sql;
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
