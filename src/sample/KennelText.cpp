#include "sample/KennelText.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <deque>
#include <optional>
#include <set>
#include <utility>

namespace lineara {

namespace {

QString Tr(const char* text) {
    return QString::fromUtf8(text);
}

// One "key: value" entry of a dog, with its continuation lines.
struct Entry {
    QString key;  // as written
    QStringList pieces;
    int line = 0;
};

std::optional<bool> ParseYesNo(const QString& value) {
    const QString v = value.toLower();
    if (v == u"yes" || v == u"true" || v == u"-1" || v == u"1") {
        return true;
    }
    if (v == u"no" || v == u"false" || v == u"0") {
        return false;
    }
    return std::nullopt;
}

std::optional<bool> ParseSex(const QString& value) {
    const QString v = value.toLower();
    if (v == u"male" || v == u"dog" || v == u"m") {
        return true;
    }
    if (v == u"female" || v == u"bitch" || v == u"f") {
        return false;
    }
    return std::nullopt;
}

std::optional<QDate> ParseDate(const QString& value) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(value).hasMatch()) {
        return std::nullopt;
    }
    const QDate date = QDate::fromString(value, Qt::ISODate);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<double> ParseNumber(QString value) {
    bool percent = false;
    if (value.endsWith(QLatin1Char('%'))) {
        percent = true;
        value.chop(1);
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(value.trimmed(), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return percent ? number / 100.0 : number;
}

// Why a field cannot be written in a kennel text, or nothing when it can.
QString ReservedReason(Field field) {
    switch (field) {
        case Field::DogID:
            return Tr("DogID is given by the database; leave it out.");
        case Field::SireID:
        case Field::DamID:
            return Tr("Parents are given by name with \"sire:\" and \"dam:\".");
        case Field::RegName:
            return Tr("The registered name is given on the \"dog:\" line.");
        case Field::SystemUseLongInt:
        case Field::SystemUseText:
            return Tr("%1 is the program's own scratch field; leave it out.")
                .arg(QLatin1String(NameOf(field)));
        default:
            return QString();
    }
}

}  // namespace

// Reads the text line by line into dogs, then finds every dog's parents.
class KennelText::Reader {
public:
    explicit Reader(KennelText& kennel) : kennel_(kennel) {}

    void Run(const QString& text) {
        QStringList lines = text.split(QLatin1Char('\n'));
        bool after_blank = false;
        for (int i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (line.endsWith(QLatin1Char('\r'))) {
                line.chop(1);
            }
            ReadLine(line, i + 1, after_blank);
        }
        FinishDog();
        ResolveParents();
        InferSexes();
        WarnSelfAncestry();
        const auto by_line = [](const Issue& a, const Issue& b) { return a.line < b.line; };
        std::stable_sort(kennel_.errors_.begin(), kennel_.errors_.end(), by_line);
        std::stable_sort(kennel_.warnings_.begin(), kennel_.warnings_.end(), by_line);
        if (!kennel_.errors_.empty()) {
            kennel_.dogs_.clear();
        }
    }

private:
    struct Parents {
        QString sire_name;
        int sire_line = 0;
        QString dam_name;
        int dam_line = 0;
        bool sex_given = false;
    };

    void Error(int line, const QString& message) { kennel_.errors_.push_back({line, message}); }
    void Warning(int line, const QString& message) { kennel_.warnings_.push_back({line, message}); }

    void ReadLine(const QString& line, int number, bool& after_blank) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            after_blank = true;
            return;
        }
        if (trimmed.startsWith(QLatin1Char('#'))) {
            return;
        }
        const bool indented = line.front().isSpace();
        const bool was_after_blank = std::exchange(after_blank, false);
        if (indented && !was_after_blank && !entries_.empty()) {
            entries_.back().pieces.append(trimmed);
            return;
        }
        const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            Error(number, Tr("Expected an entry written as \"name: value\"."));
            return;
        }
        const QString key = trimmed.left(colon).trimmed();
        const QString value = trimmed.mid(colon + 1).trimmed();
        if (key.compare(QLatin1String("dog"), Qt::CaseInsensitive) == 0) {
            FinishDog();
            StartDog(value, number);
            return;
        }
        if (!in_dog_) {
            if (!reported_no_dog_) {
                Error(number, Tr("The first entry must be a \"dog:\" line naming a dog."));
                reported_no_dog_ = true;
            }
            return;
        }
        entries_.push_back({key, value.isEmpty() ? QStringList() : QStringList{value}, number});
    }

    void StartDog(const QString& name, int line) {
        in_dog_ = true;
        kennel_.dogs_.push_back(Dog{});
        parents_.push_back(Parents{});
        Dog& dog = kennel_.dogs_.back();
        dog.line = line;
        if (name.isEmpty()) {
            Error(line, Tr("A dog needs a registered name after \"dog:\"."));
            return;
        }
        SetText(dog, Field::RegName, name, line);
    }

    void SetText(Dog& dog, Field field, const QString& value, int line) {
        if (value.size() > MaxLengthOf(field)) {
            Error(line, Tr("The %1 entry is %2 characters long; the database takes at most %3.")
                            .arg(QLatin1String(NameOf(field)))
                            .arg(value.size())
                            .arg(MaxLengthOf(field)));
            return;
        }
        dog.record.SetValue(field, value);
    }

    void FinishDog() {
        if (!in_dog_) {
            return;
        }
        Dog& dog = kennel_.dogs_.back();
        Parents& parents = parents_.back();
        std::set<QString> seen;
        for (const Entry& entry : entries_) {
            const QString key = entry.key.toLower();
            if (key == u"titles") {
                ApplyTitles(dog, entry);
                continue;
            }
            // The friendly names stand for fields; a field may be given once, whichever
            // name is used for it.
            QString field_key = key;
            if (key == u"call") {
                field_key = QStringLiteral("callname");
            } else if (key == u"born") {
                field_key = QStringLiteral("dob");
            } else if (key == u"sex") {
                field_key = QStringLiteral("sexmale");
            }
            if (!seen.insert(field_key).second) {
                Error(entry.line, Tr("\"%1\" is given twice for this dog.").arg(entry.key));
                continue;
            }
            if (key == u"sire" || key == u"dam") {
                const QString name = entry.pieces.join(QLatin1Char(' '));
                if (name.isEmpty()) {
                    continue;
                }
                (key == u"sire" ? parents.sire_name : parents.dam_name) = name;
                (key == u"sire" ? parents.sire_line : parents.dam_line) = entry.line;
                continue;
            }
            if (key == u"sex") {
                ApplySex(dog, parents, entry);
                continue;
            }
            const auto field = FieldByName(field_key);
            if (!field) {
                Error(entry.line, Tr("\"%1\" is not an entry a dog can have.").arg(entry.key));
                continue;
            }
            if (const QString reason = ReservedReason(*field); !reason.isEmpty()) {
                Error(entry.line, reason);
                continue;
            }
            if (*field == Field::SexMale) {
                ApplySex(dog, parents, entry);
                continue;
            }
            ApplyValue(dog, *field, entry);
        }
        entries_.clear();
        in_dog_ = false;
    }

    void ApplySex(Dog& dog, Parents& parents, const Entry& entry) {
        const QString value = entry.pieces.join(QLatin1Char(' '));
        if (value.isEmpty()) {
            return;
        }
        auto male = ParseSex(value);
        if (!male) {
            male = ParseYesNo(value);
        }
        if (!male) {
            Error(entry.line, Tr("\"%1\" is not a sex: write male or female.").arg(value));
            return;
        }
        dog.record.SetValue(Field::SexMale, *male);
        parents.sex_given = true;
    }

    void ApplyTitles(Dog& dog, const Entry& entry) {
        static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
        const QStringList titles =
            entry.pieces.join(QLatin1Char(' ')).split(separators, Qt::SkipEmptyParts);
        for (const QString& title : titles) {
            const auto field = FieldByName(title);
            if (!field || KindOf(*field) != FieldKind::YesNo || *field == Field::SexMale) {
                Error(entry.line, Tr("\"%1\" is not a title.").arg(title));
                continue;
            }
            dog.record.SetValue(*field, true);
        }
    }

    void ApplyValue(Dog& dog, Field field, const Entry& entry) {
        const FieldKind kind = KindOf(field);
        const QString value =
            entry.pieces.join(kind == FieldKind::Memo ? QStringLiteral("\n") : QStringLiteral(" "));
        if (value.isEmpty()) {
            return;
        }
        switch (kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                SetText(dog, field, value, entry.line);
                break;
            case FieldKind::YesNo:
                if (const auto flag = ParseYesNo(value)) {
                    dog.record.SetValue(field, *flag);
                } else {
                    Error(entry.line, Tr("\"%1\" is not yes or no.").arg(value));
                }
                break;
            case FieldKind::Date:
                if (const auto date = ParseDate(value)) {
                    dog.record.SetValue(field, *date);
                } else {
                    Error(entry.line,
                          Tr("\"%1\" is not a date written as year-month-day, such as 2014-04-12.")
                              .arg(value));
                }
                break;
            case FieldKind::Double:
                if (const auto number = ParseNumber(value)) {
                    dog.record.SetValue(field, *number);
                } else {
                    Error(entry.line, Tr("\"%1\" is not a number.").arg(value));
                }
                break;
            case FieldKind::Long: {
                bool ok = false;
                const qint32 number = value.toInt(&ok);
                if (ok) {
                    dog.record.SetValue(field, number);
                } else {
                    Error(entry.line, Tr("\"%1\" is not a whole number.").arg(value));
                }
                break;
            }
        }
    }

    // Index of the one dog a parent's name stands for, or -1 after reporting why not.
    int FindParent(const QString& name, int line, const QHash<QString, std::vector<int>>& exact,
                   const QHash<QString, std::vector<int>>& folded) {
        const std::vector<int>* found = nullptr;
        if (auto it = exact.constFind(name); it != exact.constEnd()) {
            found = &*it;
        }
        if (found == nullptr || found->size() != 1) {
            if (auto it = folded.constFind(name.toCaseFolded());
                it != folded.constEnd() && (found == nullptr || it->size() == 1)) {
                found = &*it;
            }
        }
        if (found == nullptr) {
            Error(line, Tr("No dog named \"%1\" is in this kennel.").arg(name));
            return -1;
        }
        if (found->size() > 1) {
            QStringList lines;
            for (int index : *found) {
                lines.append(QString::number(kennel_.dogs_[static_cast<std::size_t>(index)].line));
            }
            Error(line, Tr("\"%1\" names more than one dog (lines %2).")
                            .arg(name, lines.join(QStringLiteral(", "))));
            return -1;
        }
        return found->front();
    }

    void ResolveParents() {
        QHash<QString, std::vector<int>> exact;
        QHash<QString, std::vector<int>> folded;
        for (std::size_t i = 0; i < kennel_.dogs_.size(); ++i) {
            const QString name = kennel_.dogs_[i].record.Text(Field::RegName);
            if (!name.isEmpty()) {
                exact[name].push_back(static_cast<int>(i));
                folded[name.toCaseFolded()].push_back(static_cast<int>(i));
            }
        }
        for (std::size_t i = 0; i < kennel_.dogs_.size(); ++i) {
            const Parents& parents = parents_[i];
            Dog& dog = kennel_.dogs_[i];
            if (!parents.sire_name.isEmpty()) {
                dog.sire = FindParent(parents.sire_name, parents.sire_line, exact, folded);
            }
            if (!parents.dam_name.isEmpty()) {
                dog.dam = FindParent(parents.dam_name, parents.dam_line, exact, folded);
            }
        }
    }

    void InferSexes() {
        std::vector<int> sired_on(kennel_.dogs_.size(), 0);
        std::vector<int> mothered_on(kennel_.dogs_.size(), 0);
        for (std::size_t i = 0; i < kennel_.dogs_.size(); ++i) {
            const Dog& dog = kennel_.dogs_[i];
            if (dog.sire >= 0 && sired_on[static_cast<std::size_t>(dog.sire)] == 0) {
                sired_on[static_cast<std::size_t>(dog.sire)] = parents_[i].sire_line;
            }
            if (dog.dam >= 0 && mothered_on[static_cast<std::size_t>(dog.dam)] == 0) {
                mothered_on[static_cast<std::size_t>(dog.dam)] = parents_[i].dam_line;
            }
        }
        for (std::size_t i = 0; i < kennel_.dogs_.size(); ++i) {
            Dog& dog = kennel_.dogs_[i];
            const QString name = dog.record.Text(Field::RegName);
            if (!parents_[i].sex_given) {
                dog.record.SetValue(Field::SexMale, sired_on[i] != 0);
                if (sired_on[i] != 0 && mothered_on[i] != 0) {
                    Warning(dog.line, Tr("\"%1\" is named as a sire (line %2) and as a dam (line "
                                         "%3); it is taken to be male.")
                                          .arg(name, QString::number(sired_on[i]),
                                               QString::number(mothered_on[i])));
                }
                continue;
            }
            const bool male = dog.record.Flag(Field::SexMale);
            if (!male && sired_on[i] != 0) {
                Warning(sired_on[i], Tr("The sire \"%1\" is recorded as female.").arg(name));
            }
            if (male && mothered_on[i] != 0) {
                Warning(mothered_on[i], Tr("The dam \"%1\" is recorded as male.").arg(name));
            }
        }
    }

    // The program lets a dog be entered as its own ancestor (its analyses look for that), so
    // such a kennel loads; it is worth a word all the same, since it is nearly always a slip.
    void WarnSelfAncestry() {
        const std::size_t count = kennel_.dogs_.size();
        // Peel off every dog whose parents are all settled; whatever is left lies on a loop
        // or below one.
        std::vector<int> unsettled_parents(count, 0);
        std::vector<std::vector<int>> children(count);
        for (std::size_t i = 0; i < count; ++i) {
            for (int parent : {kennel_.dogs_[i].sire, kennel_.dogs_[i].dam}) {
                if (parent >= 0) {
                    ++unsettled_parents[i];
                    children[static_cast<std::size_t>(parent)].push_back(static_cast<int>(i));
                }
            }
        }
        std::deque<int> ready;
        for (std::size_t i = 0; i < count; ++i) {
            if (unsettled_parents[i] == 0) {
                ready.push_back(static_cast<int>(i));
            }
        }
        while (!ready.empty()) {
            const int dog = ready.front();
            ready.pop_front();
            for (int child : children[static_cast<std::size_t>(dog)]) {
                if (--unsettled_parents[static_cast<std::size_t>(child)] == 0) {
                    ready.push_back(child);
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (unsettled_parents[i] != 0 && IsOwnAncestor(static_cast<int>(i))) {
                Warning(kennel_.dogs_[i].line,
                        Tr("\"%1\" is its own ancestor.")
                            .arg(kennel_.dogs_[i].record.Text(Field::RegName)));
            }
        }
    }

    bool IsOwnAncestor(int start) const {
        std::vector<bool> seen(kennel_.dogs_.size(), false);
        std::vector<int> todo{start};
        while (!todo.empty()) {
            const Dog& dog = kennel_.dogs_[static_cast<std::size_t>(todo.back())];
            todo.pop_back();
            for (int parent : {dog.sire, dog.dam}) {
                if (parent == start) {
                    return true;
                }
                if (parent >= 0 && !seen[static_cast<std::size_t>(parent)]) {
                    seen[static_cast<std::size_t>(parent)] = true;
                    todo.push_back(parent);
                }
            }
        }
        return false;
    }

    KennelText& kennel_;
    std::vector<Parents> parents_;  // beside kennel_.dogs_, index for index
    std::vector<Entry> entries_;    // of the dog being read
    bool in_dog_ = false;
    bool reported_no_dog_ = false;
};

KennelText KennelText::Parse(const QString& text) {
    KennelText kennel;
    Reader(kennel).Run(text);
    return kennel;
}

KennelText KennelText::ParseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        KennelText kennel;
        kennel.errors_.push_back({0, Tr("The file cannot be read (%1).").arg(file.errorString())});
        return kennel;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        // Name the first line that is not UTF-8, so the slip can be found.
        const QList<QByteArray> lines = bytes.split('\n');
        int bad_line = 0;
        for (int i = 0; i < lines.size() && bad_line == 0; ++i) {
            QStringDecoder line_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = line_decoder.decode(lines[i]);
            if (line_decoder.hasError()) {
                bad_line = i + 1;
            }
        }
        KennelText kennel;
        kennel.errors_.push_back(
            {bad_line, Tr("The text is not UTF-8; save the file as UTF-8 and load it again.")});
        return kennel;
    }
    return Parse(text);
}

QString KennelText::ErrorText() const {
    QStringList lines;
    for (const Issue& issue : errors_) {
        lines.append(issue.line > 0
                         ? Tr("line %1: %2").arg(QString::number(issue.line), issue.message)
                         : issue.message);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace lineara
