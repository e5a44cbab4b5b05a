#pragma once

#include "store/Criteria.h"
#include "store/DogDatabase.h"
#include "store/DogRecord.h"

#include <QString>
#include <QVariant>

#include <array>
#include <memory>

namespace lineara {

// A cursor over all rows of DogInfo in one database file, in increasing DogID order.
// Several cursors may be open on one file; they share the file's connection. A cursor reads
// its current row lazily, straight from SQLite, so walking a million dogs stays cheap.
//
// While a cursor stands on a row it keeps the file open for reading, which makes lookups
// cheap; other programs can read the file meanwhile but not change it until the cursor lets
// go (Refresh, Close, or any write through this program).
//
// Misuse (reading with no current row, writing a field outside AddNew/Edit) throws
// std::logic_error; database failures throw StoreError or sqlite::Error.
class RecordStore {
public:
    // A remembered row.
    struct Bookmark {
        qint32 dog_id = 0;
        bool operator==(const Bookmark&) const = default;
    };

    RecordStore() = default;
    explicit RecordStore(const QString& path) { Open(path); }
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Opens the file's dog table with the cursor on the first row.
    void Open(const QString& path);
    void Close();
    bool IsOpen() const { return database_ != nullptr; }
    DogDatabase& Database() const;
    const QString& Path() const;

    // Re-reads the table and moves to the first row.
    void Refresh();

    void FindFirst(const QString& criteria) { FindFirst(Criterion::Parse(criteria)); }
    void FindNext(const QString& criteria) { FindNext(Criterion::Parse(criteria)); }
    void FindFirst(const Criterion& criterion);
    void FindNext(const Criterion& criterion);
    // True when the last find found nothing; the cursor then stays where it was.
    bool NoMatch() const { return no_match_; }

    void MoveFirst();
    void MoveNext();
    void MoveLast();
    // True once MoveNext has passed the last row, and on an empty table. (Named Eof because
    // EOF is taken by the C library.)
    bool Eof() const { return eof_; }
    // True when the cursor stands on a row that can be read.
    bool HasCurrent() const { return IsOpen() && !eof_ && current_ != 0 && !deleted_; }

    qint64 RecordCount();
    // How far through the rows the cursor stands, 0 to 100.
    double PercentPosition();

    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    bool IsEditing() const { return mode_ != Mode::Browse; }
    Bookmark LastModified() const { return {last_modified_}; }
    Bookmark GetBookmark() const;
    void SetBookmark(Bookmark bookmark);
    void Delete();

    QVariant Value(Field field) const;
    QVariant Value(QStringView name) const { return Value(FieldNamed(name)); }
    QVariant Value(int index) const { return Value(FieldAt(CheckedIndex(index))); }
    void SetValue(Field field, const QVariant& value);
    void SetValue(QStringView name, const QVariant& value) { SetValue(FieldNamed(name), value); }
    void SetValue(int index, const QVariant& value) { SetValue(FieldAt(CheckedIndex(index)), value); }

    bool IsNull(Field field) const { return Value(field).isNull(); }
    QString Text(Field field) const;
    bool Flag(Field field) const { return Value(field).toBool(); }
    qint32 Long(Field field) const { return Value(field).toInt(); }
    qint32 DogID() const { return Long(Field::DogID); }
    // The whole current row.
    DogRecord Record() const;

    // The field enumeration.
    static int FieldCount() { return kFieldCount; }
    static QString FieldName(int index) { return QLatin1String(NameOf(FieldAt(CheckedIndex(index)))); }
    static int FieldType(int index) { return TypeCodeOf(FieldAt(CheckedIndex(index))); }

    // Called by the database before any write: ends the read this cursor holds open.
    void ReleaseRead() const;

private:
    enum class Mode { Browse, Adding, Editing };

    static Field FieldNamed(QStringView name);
    static int CheckedIndex(int index);
    void RequireOpen() const;
    void RequireCurrent() const;
    // Puts a full-row statement on the first row with DogID >= id; true when there is one.
    bool SeekAtOrAfter(qint32 id) const;
    void LandOn(qint32 id);
    void Find(const Criterion& criterion, qint32 after);

    sqlite::Statement& Walk() const { return walks_[static_cast<std::size_t>(live_walk_)]; }
    // Whether the full-row walk / the narrow walk currently stands on the given row.
    bool FullRowOn(qint32 id) const;
    bool NarrowRowOn(qint32 id) const;
    // Puts the narrow walk on the first row with DogID >= id; true when there is one.
    bool NarrowSeekAtOrAfter(qint64 id) const;

    std::shared_ptr<DogDatabase> database_;
    // Finds land on a full row, since whoever looks a dog up usually reads much of it. Two
    // full-row statements take turns: a seek steps the idle one before letting go of the
    // other, so the read never ends between lookups and SQLite need not lock and check the
    // file each time.
    mutable std::array<sqlite::Statement, 2> walks_;
    mutable int live_walk_ = 0;
    mutable bool walk_live_ = false;
    mutable quint64 live_generation_ = 0;
    // Walking from row to row reads only the fields walks mostly need; any other field is
    // then fetched with the full row.
    mutable sqlite::Statement narrow_;
    mutable bool narrow_live_ = false;
    mutable quint64 narrow_generation_ = 0;

    qint32 current_ = 0;
    bool eof_ = true;
    bool deleted_ = false;
    bool no_match_ = false;
    qint32 last_modified_ = 0;

    Mode mode_ = Mode::Browse;
    DogRecord buffer_;
    DogDatabase::FieldMask changed_;
};

}  // namespace lineara
