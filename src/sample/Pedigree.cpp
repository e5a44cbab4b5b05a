#include "sample/Pedigree.h"

#include <array>
#include <stdexcept>

namespace lineara {

namespace {

// Invented kennel names and words; two kennels carry letters outside ASCII so that the
// store's Unicode-aware name matching gets its share of the work.
constexpr std::array<const char*, 24> kKennels{
    "Stonebrook",  "Windmere",     "Heatherlea",       "Copperfield",      "Silverbirch",
    "Foxhollow",   "Ravenscar",    "Larkspur",         "Brightwater",      "Oakhaven",
    "Thistledown", "Meadowsweet",  "Kestrel",          "Bramblewood",      "Highcliffe",
    "Wildrose",    "Fernhill",     "Greystone",        "Tamarack",         "Juniper",
    "Cedarvale",   "Blue Harbour", "M\xC3\xBCllerhof", "\xC3\x85kerbacken"};
constexpr std::array<const char*, 48> kAdjectives{
    "Amber",  "Autumn", "Blazing",  "Bold",   "Bright",  "Copper",    "Crimson", "Dancing",
    "Dark",   "Desert", "Distant",  "Dusky",  "Early",   "Evening",   "Fair",    "Gentle",
    "Golden", "Hidden", "Highland", "Iron",   "Ivory",   "Jolly",     "Keen",    "Lucky",
    "Lunar",  "Merry",  "Midnight", "Misty",  "Noble",   "Northern",  "Painted", "Quiet",
    "Rapid",  "Rising", "Royal",    "Rustic", "Scarlet", "Silent",    "Silver",  "Southern",
    "Steady", "Stormy", "Summer",   "Swift",  "Velvet",  "Wandering", "Winter",  "Wild"};
constexpr std::array<const char*, 48> kNouns{
    "Arrow", "Aurora", "Banner",  "Breeze",  "Brook",   "Cadence", "Comet",   "Crown",
    "Dawn",  "Dream",  "Echo",    "Ember",   "Falcon",  "Fable",   "Flame",   "Flight",
    "Gem",   "Glory",  "Harbor",  "Harvest", "Horizon", "Journey", "Jewel",   "Legend",
    "Lark",  "Light",  "Melody",  "Meadow",  "Mist",    "Moon",    "Promise", "Quest",
    "Rain",  "Ranger", "River",   "Rose",    "Shadow",  "Sky",     "Song",    "Spirit",
    "Star",  "Storm",  "Thunder", "Tide",    "Trail",   "Valley",  "Whisper", "Wind"};
constexpr std::array<const char*, 24> kPlaces{
    "Avalon",    "Brighton", "Carlisle",  "Dunmore",    "Everly",     "Fairhaven",
    "Glenwood",  "Hartland", "Inverness", "Kilkenny",   "Lochaber",   "Marlow",
    "Northwood", "Oakley",   "Pemberton", "Queensbury", "Ravenswood", "Sheffield",
    "Tamworth",  "Upton",    "Westbury",  "Yarmouth",   "Ashford",    "Banbury"};
constexpr std::array<const char*, 16> kCallNames{
    "Max",    "Bella",  "Scout", "Luna",   "Tucker", "Daisy", "Finn", "Rosie",
    "Jasper", "Willow", "Buddy", "Maggie", "Ranger", "Hazel", "Duke", "Pepper"};
constexpr std::array<const char*, 8> kColours{"Black and tan", "Sable",   "Blue merle", "Red",
                                              "Tricolour",     "Brindle", "Fawn",       "Black"};

constexpr quint64 kCombinations = kKennels.size() * kAdjectives.size() * kNouns.size();
// Coprime with kCombinations, so that it spreads consecutive numbers over the words
// without ever giving two numbers the same combination.
constexpr quint64 kSpread = 7919;

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString ComposedName(quint32 number) {
    const quint64 combination = (number % kCombinations) * kSpread % kCombinations;
    const quint64 round = number / kCombinations;
    QString name = Utf8(kKennels[combination % kKennels.size()]) + QLatin1Char(' ') +
                   Utf8(kAdjectives[combination / kKennels.size() % kAdjectives.size()]) +
                   QLatin1Char(' ') +
                   Utf8(kNouns[combination / (kKennels.size() * kAdjectives.size())]);
    if (round > 0) {
        name += QStringLiteral(" of ") + Utf8(kPlaces[(round - 1) % kPlaces.size()]);
        if (round > kPlaces.size()) {
            name += QLatin1Char(' ') + QString::number((round - 1) / kPlaces.size() + 1);
        }
    }
    return name;
}

// Writes the first consonant after the kennel name twice: a slip the clean-up's duplicate
// key cannot tell from the right spelling.
QString DoubleALetter(QString name) {
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    for (qsizetype i = blank + 1; i > 0 && i < name.size(); ++i) {
        const QChar c = name[i].toLower();
        if (c.isLetter() && !QStringLiteral("aeiouy").contains(c)) {
            name.insert(i, name[i]);
            return name;
        }
    }
    return name + name.back();
}

}  // namespace

const std::vector<Field>& Pedigree::TitleFields() {
    static const std::vector<Field> fields{Field::AmCh,  Field::CanCh,  Field::AmCD, Field::AmCDX,
                                           Field::CanCD, Field::ROM,    Field::BIS,  Field::HIT,
                                           Field::NA,    Field::OA,     Field::FD,   Field::TDI,
                                           Field::AmCGC, Field::ForceCh};
    return fields;
}

namespace {

void CheckParents(qint32 position, qint32 sire, qint32 dam) {
    for (qint32 parent : {sire, dam}) {
        if (parent < 0 || parent >= position) {
            throw std::invalid_argument("a parent must come before its offspring in a pedigree");
        }
    }
}

}  // namespace

qint32 Pedigree::Add(const Dog& dog, const QString& name) {
    const qint32 position = Size() + 1;
    CheckParents(position, dog.sire, dog.dam);
    dogs_.push_back(dog);
    if (!name.isEmpty() || !names_.empty()) {
        names_.resize(dogs_.size());
        names_.back() = name;
    }
    return position;
}

void Pedigree::SetParents(qint32 position, qint32 sire, qint32 dam) {
    Dog& dog = dogs_.at(static_cast<std::size_t>(position - 1));
    CheckParents(position, sire, dam);
    dog.sire = sire;
    dog.dam = dam;
}

QString Pedigree::RegNameOf(qint32 position) const {
    const Dog& dog = At(position);
    const auto index = static_cast<std::size_t>(position - 1);
    QString name =
        index < names_.size() && !names_[index].isEmpty() ? names_[index] : ComposedName(dog.name);
    switch (dog.variant) {
        case Variant::Plain:
            return name;
        case Variant::UpperCase:
            return name.toUpper();
        case Variant::DoubledLetter:
            return DoubleALetter(name);
    }
    return name;
}

DogRecord Pedigree::RecordOf(qint32 position) const {
    const Dog& dog = At(position);
    DogRecord record;
    record.SetValue(Field::SireID, dog.sire);
    record.SetValue(Field::DamID, dog.dam);
    record.SetValue(Field::RegName, RegNameOf(position));
    record.SetValue(Field::CallName, Utf8(kCallNames[dog.name % kCallNames.size()]));
    record.SetValue(Field::Description, Utf8(kColours[dog.name / 7 % kColours.size()]));
    record.SetValue(Field::SexMale, dog.male);
    if (dog.born != 0) {
        record.SetValue(Field::DOB, QDate::fromJulianDay(dog.born));
    }
    const std::vector<Field>& titles = TitleFields();
    for (std::size_t bit = 0; bit < titles.size(); ++bit) {
        if ((dog.titles >> bit) & 1U) {
            record.SetValue(titles[bit], true);
        }
    }
    return record;
}

std::vector<qint32> Pedigree::WriteTo(DogDatabase& database,
                                      const std::function<void(qint32)>& progress) const {
    std::vector<qint32> ids;
    ids.reserve(dogs_.size());
    DogDatabase::Transaction transaction(database);
    for (qint32 position = 1; position <= Size(); ++position) {
        const Dog& dog = At(position);
        DogRecord record = RecordOf(position);
        record.SetValue(Field::SireID,
                        dog.sire > 0 ? ids[static_cast<std::size_t>(dog.sire - 1)] : 0);
        record.SetValue(Field::DamID, dog.dam > 0 ? ids[static_cast<std::size_t>(dog.dam - 1)] : 0);
        ids.push_back(database.InsertRow(record));
        if (progress && position % 10000 == 0) {
            progress(position);
        }
    }
    transaction.Commit();
    if (progress && (Size() == 0 || Size() % 10000 != 0)) {
        progress(Size());
    }
    return ids;
}

QString Pedigree::ToKennelText() const {
    QString text;
    const std::vector<Field>& titles = TitleFields();
    for (qint32 position = 1; position <= Size(); ++position) {
        const Dog& dog = At(position);
        const DogRecord record = RecordOf(position);
        text += QStringLiteral("dog: ") + record.Text(Field::RegName) + QLatin1Char('\n');
        text += dog.male ? QStringLiteral("sex: male\n") : QStringLiteral("sex: female\n");
        if (dog.born != 0) {
            text += QStringLiteral("born: ") + record.Date(Field::DOB).toString(Qt::ISODate) +
                    QLatin1Char('\n');
        }
        if (dog.sire > 0) {
            text += QStringLiteral("sire: ") + RegNameOf(dog.sire) + QLatin1Char('\n');
        }
        if (dog.dam > 0) {
            text += QStringLiteral("dam: ") + RegNameOf(dog.dam) + QLatin1Char('\n');
        }
        QStringList held;
        for (std::size_t bit = 0; bit < titles.size(); ++bit) {
            if ((dog.titles >> bit) & 1U) {
                held.append(QLatin1String(NameOf(titles[bit])));
            }
        }
        if (!held.isEmpty()) {
            text += QStringLiteral("titles: ") + held.join(QLatin1Char(' ')) + QLatin1Char('\n');
        }
        text += QStringLiteral("call: ") + record.Text(Field::CallName) + QLatin1Char('\n');
        text += QStringLiteral("Description: ") + record.Text(Field::Description) +
                QStringLiteral("\n\n");
    }
    return text;
}

}  // namespace lineara
