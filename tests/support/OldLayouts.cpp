#include "support/OldLayouts.h"

#include "store/Sqlite.h"

#include <sqlite3.h>

namespace lineara::test {

namespace {

// Layout 1 exactly as LINEARA 4.0.6 made it. Never change this text: it stands for the files
// breeders already have.
constexpr const char* kLayout1 = R"sql(
CREATE TABLE DogInfo (
    DogID INTEGER PRIMARY KEY AUTOINCREMENT,
    SireID INTEGER NOT NULL DEFAULT 0,
    DamID INTEGER NOT NULL DEFAULT 0,
    RegName TEXT,
    CallName TEXT,
    Description TEXT,
    DOB TEXT,
    SexMale INTEGER NOT NULL DEFAULT 0,
    Altered INTEGER NOT NULL DEFAULT 0,
    CKCID TEXT,
    AKCID TEXT,
    OtherID TEXT,
    TattooID TEXT,
    MicrochipID TEXT,
    Certifications TEXT,
    PrintNotes TEXT,
    Comments TEXT,
    OtherCh TEXT,
    OtherPreTitles TEXT,
    OtherPostTitles TEXT,
    AmCh INTEGER NOT NULL DEFAULT 0,
    CanCh INTEGER NOT NULL DEFAULT 0,
    ROM INTEGER NOT NULL DEFAULT 0,
    ROMC INTEGER NOT NULL DEFAULT 0,
    BIS INTEGER NOT NULL DEFAULT 0,
    BISS INTEGER NOT NULL DEFAULT 0,
    BPIS INTEGER NOT NULL DEFAULT 0,
    BPISS INTEGER NOT NULL DEFAULT 0,
    AmCD INTEGER NOT NULL DEFAULT 0,
    AmCDX INTEGER NOT NULL DEFAULT 0,
    AmUD INTEGER NOT NULL DEFAULT 0,
    AmUDX INTEGER NOT NULL DEFAULT 0,
    AmOTCh INTEGER NOT NULL DEFAULT 0,
    CanCD INTEGER NOT NULL DEFAULT 0,
    CanCDX INTEGER NOT NULL DEFAULT 0,
    CanOTCh INTEGER NOT NULL DEFAULT 0,
    HIT INTEGER NOT NULL DEFAULT 0,
    FD INTEGER NOT NULL DEFAULT 0,
    FDX INTEGER NOT NULL DEFAULT 0,
    FDCh INTEGER NOT NULL DEFAULT 0,
    JHD INTEGER NOT NULL DEFAULT 0,
    HTD INTEGER NOT NULL DEFAULT 0,
    HRD INTEGER NOT NULL DEFAULT 0,
    HCT INTEGER NOT NULL DEFAULT 0,
    HTCh INTEGER NOT NULL DEFAULT 0,
    PT INTEGER NOT NULL DEFAULT 0,
    HT INTEGER NOT NULL DEFAULT 0,
    HS INTEGER NOT NULL DEFAULT 0,
    HI INTEGER NOT NULL DEFAULT 0,
    HX INTEGER NOT NULL DEFAULT 0,
    HCh INTEGER NOT NULL DEFAULT 0,
    HC INTEGER NOT NULL DEFAULT 0,
    AD INTEGER NOT NULL DEFAULT 0,
    ADCh INTEGER NOT NULL DEFAULT 0,
    MAD INTEGER NOT NULL DEFAULT 0,
    VAD INTEGER NOT NULL DEFAULT 0,
    GM INTEGER NOT NULL DEFAULT 0,
    PM INTEGER NOT NULL DEFAULT 0,
    JM INTEGER NOT NULL DEFAULT 0,
    SM INTEGER NOT NULL DEFAULT 0,
    UAgI INTEGER NOT NULL DEFAULT 0,
    UAgII INTEGER NOT NULL DEFAULT 0,
    UAgIII INTEGER NOT NULL DEFAULT 0,
    UACh INTEGER NOT NULL DEFAULT 0,
    ADC INTEGER NOT NULL DEFAULT 0,
    AADC INTEGER NOT NULL DEFAULT 0,
    MADC INTEGER NOT NULL DEFAULT 0,
    NA INTEGER NOT NULL DEFAULT 0,
    OA INTEGER NOT NULL DEFAULT 0,
    AX INTEGER NOT NULL DEFAULT 0,
    TDI INTEGER NOT NULL DEFAULT 0,
    AmCGC INTEGER NOT NULL DEFAULT 0,
    CanCGC INTEGER NOT NULL DEFAULT 0,
    ForceCh INTEGER NOT NULL DEFAULT 0,
    IC REAL,
    SystemUseLongInt INTEGER NOT NULL DEFAULT 0,
    SystemUseText TEXT
);
CREATE INDEX DogInfo_SireID ON DogInfo(SireID);
CREATE INDEX DogInfo_DamID ON DogInfo(DamID);
CREATE INDEX DogInfo_RegName ON DogInfo(RegName COLLATE NOCASE, SexMale);
CREATE INDEX DogInfo_SystemUseText ON DogInfo(SystemUseText COLLATE NOCASE);
CREATE INDEX DogInfo_SystemUseLongInt ON DogInfo(SystemUseLongInt);
CREATE INDEX DogInfo_NonAsciiRegName ON DogInfo(length(RegName), RegName) WHERE RegName GLOB '*[^ -~]*';
CREATE INDEX DogInfo_NonAsciiSystemUseText ON DogInfo(length(SystemUseText), SystemUseText) WHERE SystemUseText GLOB '*[^ -~]*';
CREATE TABLE DogCount (Dogs INTEGER NOT NULL);
INSERT INTO DogCount VALUES (0);
CREATE TRIGGER DogInfo_Counted AFTER INSERT ON DogInfo BEGIN UPDATE DogCount SET Dogs = Dogs + 1; END;
CREATE TRIGGER DogInfo_Uncounted AFTER DELETE ON DogInfo BEGIN UPDATE DogCount SET Dogs = Dogs - 1; END;
)sql";

}  // namespace

void CreateLayout1Database(const QString& path, const std::vector<OldDog>& dogs) {
    sqlite::Connection connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    connection.Execute("BEGIN; PRAGMA application_id = 1280201281; PRAGMA user_version = 1;");
    connection.Execute(kLayout1);
    sqlite::Statement insert(connection, "INSERT INTO DogInfo (RegName, SexMale, SireID, DamID) VALUES (?1, ?2, ?3, ?4)");
    for (const OldDog& dog : dogs) {
        insert.Reset();
        if (dog.reg_name.isNull()) {
            insert.BindNull(1);
        } else {
            insert.BindText(1, dog.reg_name);
        }
        insert.BindInteger(2, dog.male ? -1 : 0);
        insert.BindInteger(3, dog.sire);
        insert.BindInteger(4, dog.dam);
        insert.Step();
    }
    connection.Execute("COMMIT");
}

}  // namespace lineara::test
