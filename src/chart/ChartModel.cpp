#include "chart/ChartModel.h"

#include "chart/DisplayName.h"
#include "store/RecordStore.h"

#include <QDate>


#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace lineara {

namespace {

// The locale's short date pattern with every year field widened to four digits, so a
// pedigree never leaves the century to guessing. Quoted literal text is left alone.
QString FourDigitYearFormat(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
        } else if (!quoted && c == QLatin1Char('y')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('y')) {
                ++i;
            }
            out += QStringLiteral("yyyy");
        } else {
            out += c;
        }
    }
    return out;
}

// The coefficient times 10000, rounded half away from zero. The rounding works on the
// shortest decimal form of the stored double (the value as it was computed or typed), so
// 0.12345 gives 1235 although the double nearest to it lies a hair below 0.12345.
bool ScaledPercent(double value, long long& scaled) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e12) {
        return false;
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (result.ec != std::errc()) {
        return false;
    }
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e_at = text.find('e');
    const bool negative = text.front() == '-';
    std::string digits;
    for (const char c : text.substr(0, e_at)) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    // digits = d1 d2 d3 ... stands for d1.d2d3... x 10^exponent; times 10^4 the decimal point
    // comes after (exponent + 5) digits.
    // The buffer holds no terminating zero, so the exponent is read within the text only.
    int exponent = 0;
    const char* exponent_at = text.data() + e_at + 1;
    if (*exponent_at == '+') {
        ++exponent_at;
    }
    if (std::from_chars(exponent_at, text.data() + text.size(), exponent).ec != std::errc()) {
        return false;
    }
    const int point = exponent + 5;
    const auto digit = [&](int i) {
        return i >= 0 && i < static_cast<int>(digits.size())
                   ? digits[static_cast<std::size_t>(i)] - '0'
                   : 0;
    };
    long long whole = 0;
    for (int i = 0; i < point; ++i) {
        whole = whole * 10 + digit(i);
    }
    // The first digit dropped decides: 5 or more rounds the magnitude up.
    if (point >= 0 && digit(point) >= 5) {
        ++whole;
    }
    scaled = negative ? -whole : whole;
    return true;
}

}  // namespace

int PositionCount(int generations) {
    if (generations < 0) {
        return 1;
    }
    return (1 << (std::min(generations, 6) + 1)) - 1;
}

int GenerationOf(int position) {
    int generation = 0;
    while (position > 1) {
        position /= 2;
        ++generation;
    }
    return generation;
}

QString ShortDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, FourDigitYearFormat(locale.dateFormat(QLocale::ShortFormat)));
}

QString InbreedingText(double coefficient, const QLocale& locale) {
    long long scaled = 0;
    if (!ScaledPercent(coefficient, scaled)) {
        return {};
    }
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    // scaled / 100.0 is the double nearest to the two-decimal result, which prints back exactly.
    const double percent = scaled == 0 ? 0.0 : static_cast<double>(scaled) / 100.0;
    return QStringLiteral("IC = ") + plain.toString(percent, 'f', 2) + QLatin1Char('%');
}

const ChartEntry& ChartModel::At(int position) const {
    static const ChartEntry kOutside;
    if (position < 1 || position > kMaxPositions) {
        return kOutside;
    }
    return entries_[static_cast<std::size_t>(position)];
}

void ChartModel::SetEntry(int position, const ChartEntry& entry) {
    if (position >= 1 && position <= kMaxPositions) {
        entries_[static_cast<std::size_t>(position)] = entry;
    }
}

bool ChartModel::Contains(qint32 dog) const {
    if (dog <= 0) {
        return false;
    }
    for (int p = 1; p <= kMaxPositions; ++p) {
        if (entries_[static_cast<std::size_t>(p)].dog == dog) {
            return true;
        }
    }
    return false;
}

namespace {

QString InformationLine(const RecordStore& store, int choice, const QLocale& locale) {
    Field field;
    switch (choice) {
        case kAddlCallName:
            field = Field::CallName;
            break;
        case kAddlDescription:
            field = Field::Description;
            break;
        case kAddlCertifications:
            field = Field::Certifications;
            break;
        case kAddlDOB:
            field = Field::DOB;
            break;
        case kAddlCKCID:
            field = Field::CKCID;
            break;
        case kAddlAKCID:
            field = Field::AKCID;
            break;
        case kAddlOtherID:
            field = Field::OtherID;
            break;
        case kAddlIC:
            field = Field::IC;
            break;
        default:
            return {};
    }
    const QVariant value = store.Value(field);
    if (value.isNull()) {
        return {};
    }
    if (field == Field::DOB) {
        return ShortDateText(value.toDate(), locale);
    }
    if (field == Field::IC) {
        return InbreedingText(value.toDouble(), locale);
    }
    return value.toString();
}

}  // namespace

void ChartModel::FillChart(RecordStore& store, qint32& root_dog_id, const ViewState& view,
                           const QLocale& locale) {
    const int count = PositionCount(view.CurrentNumGens());
    // One read across the whole fill: a lock per lookup would cost more than the lookups.
    const DogDatabase::ReadTransaction snapshot(store.Database());

    store.FindFirst(Criterion::ById(root_dog_id));
    if (store.NoMatch()) {
        // The root is gone (another database's settings, or deleted): start from the first dog.
        store.MoveFirst();
    }
    root_dog_id = store.HasCurrent() ? store.DogID() : 0;

    entries_[1].dog = root_dog_id;
    for (int p = 2; p <= count; ++p) {
        entries_[static_cast<std::size_t>(p)].dog = 0;
    }
    FillPlaces(store, 1, count, view, locale);
}

void ChartModel::FillTrialMating(RecordStore& store, qint32 sire, qint32 dam, const ViewState& view,
                                 const QLocale& locale) {
    const int count = PositionCount(view.CurrentNumGens());
    const DogDatabase::ReadTransaction snapshot(store.Database());
    ChartEntry& puppy = entries_[1];
    puppy = ChartEntry{};
    puppy.dog = kPlannedPuppy;
    puppy.display_name = kTrialMatingName;
    puppy.hint = kTrialMatingHint;
    for (int p = 2; p <= count; ++p) {
        entries_[static_cast<std::size_t>(p)].dog = 0;
    }
    if (count >= 3) {
        entries_[2].dog = std::max(sire, 0);
        entries_[3].dog = std::max(dam, 0);
    }
    FillPlaces(store, 2, count, view, locale);
}

void ChartModel::FillPlaces(RecordStore& store, int first, int count, const ViewState& view,
                            const QLocale& locale) {
    const TitleStyle style = view.american ? TitleStyle::American : TitleStyle::Canadian;
    // One search per occupied place: reading a dog also tells its parents' places who stands
    // there, and since a child's place always comes before its parents', every place knows
    // its dog by the time it is reached. A chart of fixed depth cannot loop, whatever the data.
    DogRecord name_fields;
    for (int p = first; p <= count; ++p) {
        ChartEntry& entry = entries_[static_cast<std::size_t>(p)];
        if (entry.dog != 0) {
            store.FindFirst(Criterion::ById(entry.dog));
            if (store.NoMatch()) {
                entry.dog = 0;  // a parent reference to a dog that no longer exists
            }
        }
        if (entry.dog == 0) {
            entry.champion = false;
            entry.display_name = kNoInformation;
            entry.hint = p > 1 && DogAt(p / 2) != 0 ? kEmptyHint : QString();
            entry.info.clear();
            continue;
        }
        for (const Field field : DisplayNameFields()) {
            name_fields.SetValue(field, store.Value(field));
        }
        entry.display_name = ComposeDisplayName(name_fields, style);
        entry.champion = IsChampion(name_fields);
        entry.hint = kOccupiedHint;
        entry.info = InformationLine(store, view.additional_info, locale);
        if (2 * p + 1 <= count) {
            entries_[static_cast<std::size_t>(2 * p)].dog = store.Long(Field::SireID);
            entries_[static_cast<std::size_t>(2 * p + 1)].dog = store.Long(Field::DamID);
        }
    }
}

}  // namespace lineara
