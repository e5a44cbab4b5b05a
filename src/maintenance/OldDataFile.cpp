#include "maintenance/OldDataFile.h"

#include "app/Cp1252.h"

#include <QSaveFile>

namespace lineara::olddata {

void OldRecord::SetText(TextSlot slot, const QString& text) {
    SetBytes(slot, cp1252::Encode(text));
}

void OldRecord::SetBytes(TextSlot slot, const QByteArray& bytes) {
    QByteArray padded = bytes.left(slot.size);
    padded.append(QByteArray(slot.size - padded.size(), ' '));
    bytes_.replace(slot.offset, slot.size, padded);
}

void OldRecord::SetInt(int offset, qint16 value) {
    const auto bits = static_cast<quint16>(value);
    bytes_[offset] = static_cast<char>(bits & 0xff);
    bytes_[offset + 1] = static_cast<char>(bits >> 8);
}

std::vector<int> OldRecord::IntegerOffsets() {
    std::vector<int> offsets = {kSireRef, kDamRef, kSex, 614, 616, 626, 628, 630, 632, 634, 636,
                                kCanadianObedience, kAmericanObedience, 706, 772, 774, 776, 778,
                                kGoodCitizen, 782};
    for (int offset = 816; offset < 838; offset += 2) {
        offsets.push_back(offset);
    }
    for (int offset = 838; offset <= 876; offset += 2) {
        offsets.push_back(offset);
    }
    return offsets;
}

QByteArray OldDataFileBytes(const std::vector<OldRecord>& records, qint16 count) {
    QByteArray bytes(kHeaderSize, ' ');
    const auto bits = static_cast<quint16>(count);
    bytes[0] = static_cast<char>(bits & 0xff);
    bytes[1] = static_cast<char>(bits >> 8);
    bytes.reserve(kHeaderSize + kRecordSize * static_cast<qsizetype>(records.size()));
    for (const OldRecord& record : records) {
        bytes.append(record.Bytes());
    }
    return bytes;
}

bool WriteOldDataFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(bytes);
    return file.commit();
}

}  // namespace lineara::olddata
