#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace lineara::olddata {

// The data file of version 3: a 16-bit record count, 64 unused bytes, then fixed records of
// 880 bytes. Integers are little-endian 16-bit signed; texts are blank-padded Windows-1252.
inline constexpr int kHeaderSize = 66;
inline constexpr int kRecordSize = 880;
inline constexpr int kMostRecords = 32767;

// Offsets and sizes of the fields of one record.
struct TextSlot {
    int offset;
    int size;
};
inline constexpr TextSlot kRegName{128, 32};
inline constexpr int kSireRef = 160;
inline constexpr int kDamRef = 162;
inline constexpr int kSex = 228;
inline constexpr TextSlot kDescription{230, 32};
inline constexpr TextSlot kCallName{262, 32};
inline constexpr TextSlot kComments{294, 128};
inline constexpr TextSlot kUnusedText422{422, 32};
inline constexpr TextSlot kCkcId{454, 32};
inline constexpr TextSlot kAkcId{486, 32};
inline constexpr TextSlot kTattoo{518, 32};
inline constexpr TextSlot kShortOtherCh{618, 8};
inline constexpr TextSlot kOtherCh{638, 32};
inline constexpr int kCanadianObedience = 702;
inline constexpr int kAmericanObedience = 704;
inline constexpr int kGoodCitizen = 780;
inline constexpr TextSlot kPreTitles{784, 16};
inline constexpr TextSlot kPostTitles{800, 16};

// One record being put together, all blanks and zeros to begin with.
class OldRecord {
public:
    OldRecord() : bytes_(kRecordSize, ' ') {
        // Integers start at 0, not at two blanks.
        for (int offset : IntegerOffsets()) {
            SetInt(offset, 0);
        }
    }

    // Writes the text encoded as Windows-1252, cut or blank-padded to the slot.
    void SetText(TextSlot slot, const QString& text);
    // Writes raw bytes into the slot (for leftover or control bytes), blank-padded.
    void SetBytes(TextSlot slot, const QByteArray& bytes);
    void SetInt(int offset, qint16 value);

    const QByteArray& Bytes() const { return bytes_; }

    // Offsets of every 16-bit integer the record holds.
    static std::vector<int> IntegerOffsets();

private:
    QByteArray bytes_;
};

// The whole file: header with the count (and `count` may differ from records.size() to make
// damaged files), then the records.
QByteArray OldDataFileBytes(const std::vector<OldRecord>& records, qint16 count);
inline QByteArray OldDataFileBytes(const std::vector<OldRecord>& records) {
    return OldDataFileBytes(records, static_cast<qint16>(records.size()));
}
// Writes the bytes to the path; false when the file could not be written.
bool WriteOldDataFile(const QString& path, const QByteArray& bytes);

}  // namespace lineara::olddata
