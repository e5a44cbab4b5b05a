#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace lineara {

// Every column of DogInfo, in table order. The enumerator value is the column's position.
enum class Field : int {
    DogID,
    SireID,
    DamID,
    RegName,
    CallName,
    Description,
    DOB,
    SexMale,
    Altered,
    CKCID,
    AKCID,
    OtherID,
    TattooID,
    MicrochipID,
    Certifications,
    PrintNotes,
    Comments,
    OtherCh,
    OtherPreTitles,
    OtherPostTitles,
    // Conformation
    AmCh,
    CanCh,
    ROM,
    ROMC,
    BIS,
    BISS,
    BPIS,
    BPISS,
    // Obedience
    AmCD,
    AmCDX,
    AmUD,
    AmUDX,
    AmOTCh,
    CanCD,
    CanCDX,
    CanOTCh,
    HIT,
    // Flyball (NAFA)
    FD,
    FDX,
    FDCh,
    // Herding: ABHA, AKC, CKC
    JHD,
    HTD,
    HRD,
    HCT,
    HTCh,
    PT,
    HT,
    HS,
    HI,
    HX,
    HCh,
    HC,
    // Agility: USDAA, UKC, AAC, AKC
    AD,
    ADCh,
    MAD,
    VAD,
    GM,
    PM,
    JM,
    SM,
    UAgI,
    UAgII,
    UAgIII,
    UACh,
    ADC,
    AADC,
    MADC,
    NA,
    OA,
    AX,
    // Other
    TDI,
    AmCGC,
    CanCGC,
    ForceCh,
    IC,
    SystemUseLongInt,
    SystemUseText,
};

inline constexpr int kFieldCount = static_cast<int>(Field::SystemUseText) + 1;
inline constexpr int kFirstTitleField = static_cast<int>(Field::AmCh);
inline constexpr int kLastTitleField = static_cast<int>(Field::CanCGC);

// How a column is stored and what type code callers see when they enumerate the fields.
enum class FieldKind { Long, Text, Memo, YesNo, Date, Double };

// Type codes of the field enumeration, as the rest of the program knows them.
enum FieldTypeCode : int {
    kTypeYesNo = 1,
    kTypeLong = 4,
    kTypeDouble = 7,
    kTypeDate = 8,
    kTypeText = 10,
    kTypeMemo = 12,
};

inline constexpr int kTextFieldSize = 255;
inline constexpr int kMemoFieldSize = 65535;

struct FieldDef {
    const char* name;
    FieldKind kind;
};

const FieldDef& DefinitionOf(Field field);
inline const char* NameOf(Field field) { return DefinitionOf(field).name; }
inline FieldKind KindOf(Field field) { return DefinitionOf(field).kind; }
int TypeCodeOf(Field field);
// Longest text the column accepts, in characters; 0 for columns that hold no text.
int MaxLengthOf(Field field);
inline bool IsTextKind(FieldKind kind) { return kind == FieldKind::Text || kind == FieldKind::Memo; }

// Field by column name, ignoring letter case as the database engine does.
std::optional<Field> FieldByName(QStringView name);

inline constexpr Field FieldAt(int index) { return static_cast<Field>(index); }
inline constexpr int IndexOf(Field field) { return static_cast<int>(field); }

namespace schema {

// Marks a file as a LINEARA dog database (SQLite's application_id header field, "LNRA").
inline constexpr quint32 kApplicationId = 0x4C4E5241;
// Version of the table layout below, kept in SQLite's user_version.
// 1: the dog table, its indexes and the dog count.
// 2: adds DogNameIndex, a trigram index of the registered names kept by triggers.
inline constexpr int kSchemaVersion = 2;

// The statements that create an empty dog table with its indexes, in the current layout.
QString CreateStatements();
// The statements that create the name index and the triggers that keep it, without filling
// it: part of a new database, and the upgrade from layout 1 (which then fills it).
QString NameIndexStatements();
// The statements that remove the name index, its triggers and the index of the names it
// cannot answer for. A file built aside in one go drops them first and makes them again
// at the end (NameIndexStatements, then kRebuildNameIndex): far cheaper than keeping them
// up to date one dog at a time.
QString DropNameIndexStatements();
inline constexpr const char* kRebuildNameIndex = "INSERT INTO DogNameIndex(DogNameIndex) VALUES ('rebuild')";
// The characters the partial index DogInfo_UnfoldableRegName was made for (see
// NameFolding.h), as UTF-8. Part of the layout: changing it means a new layout version.
extern const char* const kUnfoldableCharacters;
// True for names holding one of them.
QString UnfoldableRegName();

// Name of the trigram index of registered names (an FTS5 table whose rowid is the DogID).
inline constexpr const char* kNameIndex = "DogNameIndex";
// Comma-separated column list in table order, for SELECT statements.
const QString& ColumnList();

// Expression (shared by an index and the queries that must use it) that is true for texts
// holding anything outside printable ASCII: those need Unicode-aware case folding.
inline constexpr const char* kNonAsciiRegName = "RegName GLOB '*[^ -~]*'";
inline constexpr const char* kNonAsciiSystemUseText = "SystemUseText GLOB '*[^ -~]*'";

}  // namespace schema

}  // namespace lineara
