#include "store/RecordStore.h"

#include "store/StoreError.h"

#include <limits>
#include <stdexcept>

namespace lineara {

namespace {

// The fields of the narrow walk, in its column order.
constexpr Field kNarrowFields[] = {Field::DogID, Field::SireID, Field::DamID, Field::RegName, Field::SexMale};

int NarrowColumnOf(Field field) {
    for (int column = 0; column < static_cast<int>(std::size(kNarrowFields)); ++column) {
        if (kNarrowFields[column] == field) {
            return column;
        }
    }
    return -1;
}

}  // namespace

RecordStore::~RecordStore() { Close(); }

void RecordStore::Open(const QString& path) {
    Close();
    database_ = DogDatabase::Open(path);
    database_->RegisterCursor(this);
    const QString walk =
        QStringLiteral("SELECT %1 FROM DogInfo WHERE DogID >= ?1 ORDER BY DogID").arg(schema::ColumnList());
    for (sqlite::Statement& statement : walks_) {
        statement = sqlite::Statement(database_->Connection(), walk);
    }
    QString narrow_columns;
    for (const Field field : kNarrowFields) {
        narrow_columns += (narrow_columns.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1String(NameOf(field));
    }
    narrow_ = sqlite::Statement(
        database_->Connection(),
        QStringLiteral("SELECT %1 FROM DogInfo WHERE DogID >= ?1 ORDER BY DogID").arg(narrow_columns));
    MoveFirst();
}

void RecordStore::Close() {
    for (sqlite::Statement& statement : walks_) {
        statement = sqlite::Statement();
    }
    narrow_ = sqlite::Statement();
    walk_live_ = false;
    narrow_live_ = false;
    if (database_) {
        database_->UnregisterCursor(this);
        database_.reset();
    }
    current_ = 0;
    eof_ = true;
    deleted_ = false;
    no_match_ = false;
    mode_ = Mode::Browse;
}

DogDatabase& RecordStore::Database() const {
    RequireOpen();
    return *database_;
}

const QString& RecordStore::Path() const { return Database().Path(); }

void RecordStore::RequireOpen() const {
    if (!database_) {
        throw std::logic_error("the record store is not open");
    }
}

void RecordStore::RequireCurrent() const {
    RequireOpen();
    if (eof_ || current_ == 0 || deleted_) {
        throw std::logic_error("no current record");
    }
}

Field RecordStore::FieldNamed(QStringView name) {
    const auto field = FieldByName(name);
    if (!field) {
        throw std::invalid_argument("no field named " + name.toString().toStdString());
    }
    return *field;
}

int RecordStore::CheckedIndex(int index) {
    if (index < 0 || index >= kFieldCount) {
        throw std::out_of_range("field index out of range");
    }
    return index;
}

void RecordStore::ReleaseRead() const {
    for (sqlite::Statement& statement : walks_) {
        statement.Reset();
    }
    narrow_.Reset();
    walk_live_ = false;
    narrow_live_ = false;
}

bool RecordStore::FullRowOn(qint32 id) const {
    return walk_live_ && live_generation_ == database_->Generation() && Walk().HasRow() &&
           Walk().Integer(0) == id;
}

bool RecordStore::NarrowRowOn(qint32 id) const {
    return narrow_live_ && narrow_generation_ == database_->Generation() && narrow_.HasRow() &&
           narrow_.Integer(0) == id;
}

bool RecordStore::NarrowSeekAtOrAfter(qint64 id) const {
    narrow_.Reset();
    narrow_.BindInteger(1, id);
    narrow_live_ = narrow_.Step();
    narrow_generation_ = database_->Generation();
    return narrow_live_;
}

bool RecordStore::SeekAtOrAfter(qint32 id) const {
    sqlite::Statement& previous = Walk();
    live_walk_ = 1 - live_walk_;
    sqlite::Statement& next = Walk();
    next.Reset();
    next.BindInteger(1, id);
    walk_live_ = next.Step();
    previous.Reset();
    live_generation_ = database_->Generation();
    return walk_live_;
}

void RecordStore::LandOn(qint32 id) {
    current_ = id;
    eof_ = false;
    deleted_ = false;
}

void RecordStore::Refresh() {
    RequireOpen();
    // Let go of every read first, so that what other programs wrote since is seen.
    ReleaseRead();
    database_->ForgetStatistics();
    MoveFirst();
}

void RecordStore::MoveFirst() {
    RequireOpen();
    mode_ = Mode::Browse;
    if (NarrowSeekAtOrAfter(std::numeric_limits<qint32>::min())) {
        LandOn(static_cast<qint32>(narrow_.Integer(0)));
    } else {
        current_ = 0;
        eof_ = true;
        deleted_ = false;
    }
}

void RecordStore::MoveNext() {
    RequireOpen();
    mode_ = Mode::Browse;
    if (eof_) {
        return;
    }
    bool found = false;
    if (NarrowRowOn(current_)) {
        found = narrow_.Step();
        narrow_live_ = found;
    } else {
        found = NarrowSeekAtOrAfter(static_cast<qint64>(current_) + 1);
    }
    if (found) {
        LandOn(static_cast<qint32>(narrow_.Integer(0)));
    } else {
        narrow_live_ = false;
        current_ = 0;
        eof_ = true;
        deleted_ = false;
    }
}

void RecordStore::MoveLast() {
    RequireOpen();
    mode_ = Mode::Browse;
    const qint32 last = database_->MaxId();
    if (last != 0 && SeekAtOrAfter(last)) {
        LandOn(static_cast<qint32>(Walk().Integer(0)));
    } else {
        current_ = 0;
        eof_ = true;
        deleted_ = false;
    }
}

void RecordStore::Find(const Criterion& criterion, qint32 after) {
    RequireOpen();
    mode_ = Mode::Browse;
    qint32 found = 0;
    if (criterion.field == Field::DogID && criterion.op == Criterion::Op::Equal) {
        // The identity lookup goes straight to the row.
        if (criterion.number > after && criterion.number <= std::numeric_limits<qint32>::max() &&
            SeekAtOrAfter(static_cast<qint32>(criterion.number)) &&
            Walk().Integer(0) == criterion.number) {
            found = static_cast<qint32>(criterion.number);
        } else {
            walk_live_ = false;
        }
    } else {
        found = database_->FindNextId(criterion, after);
    }
    no_match_ = found == 0;
    if (found != 0) {
        LandOn(found);
    }
}

void RecordStore::FindFirst(const Criterion& criterion) {
    Find(criterion, std::numeric_limits<qint32>::min());
}

void RecordStore::FindNext(const Criterion& criterion) {
    Find(criterion, eof_ ? std::numeric_limits<qint32>::min() : current_);
}

qint64 RecordStore::RecordCount() {
    RequireOpen();
    return database_->CountRows();
}

double RecordStore::PercentPosition() {
    if (!HasCurrent()) {
        return 0.0;
    }
    const qint64 low = database_->MinId();
    const qint64 high = database_->MaxId();
    if (high <= low) {
        return 0.0;
    }
    return 100.0 * static_cast<double>(current_ - low) / static_cast<double>(high - low + 1);
}

void RecordStore::AddNew() {
    RequireOpen();
    mode_ = Mode::Adding;
    buffer_ = DogRecord();
    changed_.reset();
}

void RecordStore::Edit() {
    RequireCurrent();
    buffer_ = Record();
    mode_ = Mode::Editing;
    changed_.reset();
}

void RecordStore::SetValue(Field field, const QVariant& value) {
    if (mode_ == Mode::Browse) {
        throw std::logic_error("a field was written without AddNew or Edit");
    }
    if (field == Field::DogID) {
        throw std::logic_error("DogID is assigned by the store");
    }
    buffer_.SetValue(field, value);
    changed_.set(static_cast<std::size_t>(IndexOf(field)));
}

void RecordStore::Update() {
    RequireOpen();
    switch (mode_) {
        case Mode::Browse:
            throw std::logic_error("Update without AddNew or Edit");
        case Mode::Adding:
            last_modified_ = database_->InsertRow(buffer_);
            break;
        case Mode::Editing:
            database_->UpdateRow(current_, buffer_, changed_);
            last_modified_ = current_;
            break;
    }
    mode_ = Mode::Browse;
    changed_.reset();
}

void RecordStore::CancelUpdate() {
    mode_ = Mode::Browse;
    changed_.reset();
}

RecordStore::Bookmark RecordStore::GetBookmark() const {
    RequireCurrent();
    return {current_};
}

void RecordStore::SetBookmark(Bookmark bookmark) {
    RequireOpen();
    mode_ = Mode::Browse;
    if (bookmark.dog_id == 0 || !SeekAtOrAfter(bookmark.dog_id) ||
        Walk().Integer(0) != bookmark.dog_id) {
        walk_live_ = false;
        throw StoreError(database_->Path(), QStringLiteral("The dog record is no longer in the database."));
    }
    LandOn(bookmark.dog_id);
}

void RecordStore::Delete() {
    RequireCurrent();
    mode_ = Mode::Browse;
    database_->DeleteRow(current_);
    deleted_ = true;
}

QVariant RecordStore::Value(Field field) const {
    if (mode_ != Mode::Browse) {
        return buffer_.Value(field);
    }
    RequireCurrent();
    if (const int column = NarrowColumnOf(field); column >= 0 && NarrowRowOn(current_)) {
        return ColumnValue(narrow_, column, field);
    }
    if (!FullRowOn(current_) && !(SeekAtOrAfter(current_) && Walk().Integer(0) == current_)) {
        walk_live_ = false;
        throw StoreError(database_->Path(), QStringLiteral("The dog record is no longer in the database."));
    }
    return ColumnValue(Walk(), IndexOf(field), field);
}

QString RecordStore::Text(Field field) const {
    const QVariant value = Value(field);
    return value.isNull() ? QString() : value.toString();
}

DogRecord RecordStore::Record() const {
    if (mode_ != Mode::Browse) {
        return buffer_;
    }
    DogRecord record;
    for (int i = 0; i < kFieldCount; ++i) {
        record.SetValue(FieldAt(i), Value(FieldAt(i)));
    }
    return record;
}

}  // namespace lineara
