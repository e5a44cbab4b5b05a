#include "sample/PedigreeCsv.h"

#include <QFile>
#include <QHash>

#include <stdexcept>

namespace lineara {

namespace {

struct Row {
    QString id;
    QString sire;
    QString dam;
    int line = 0;  // 0 for a parent that has no line of its own
};

[[noreturn]] void Fail(int line, const QString& message) {
    throw std::runtime_error(
        (line > 0 ? QStringLiteral("line %1: %2").arg(QString::number(line), message) : message)
            .toStdString());
}

// Splits one line into its columns, honouring double quotes ("" inside quotes is a quote).
QStringList Columns(const QString& line, int number) {
    QStringList columns;
    QString current;
    bool quoted = false;
    bool was_quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                current += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"') && current.trimmed().isEmpty() && !was_quoted) {
            quoted = true;
            was_quoted = true;
            current.clear();
        } else if (c == QLatin1Char(',')) {
            columns.append(was_quoted ? current : current.trimmed());
            current.clear();
            was_quoted = false;
        } else if (!was_quoted || !c.isSpace()) {
            if (was_quoted) {
                Fail(number, QStringLiteral("text after a closing quote"));
            }
            current += c;
        }
    }
    if (quoted) {
        Fail(number, QStringLiteral("a quote is not closed"));
    }
    columns.append(was_quoted ? current : current.trimmed());
    return columns;
}

bool IsUnknown(const QString& value) {
    return value.isEmpty() || value == u"0" ||
           value.compare(QLatin1String("NA"), Qt::CaseInsensitive) == 0 || value == u".";
}

}  // namespace

Pedigree PedigreeCsv::Parse(const QString& text, const QString& name_prefix) {
    std::vector<Row> rows;
    QHash<QString, std::size_t> index;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool first = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const QStringList columns = Columns(line, i + 1);
        if (std::exchange(first, false) &&
            columns.front().compare(QLatin1String("id"), Qt::CaseInsensitive) == 0) {
            continue;
        }
        if (columns.size() < 3) {
            Fail(i + 1, QStringLiteral("expected id, sire and dam"));
        }
        if (IsUnknown(columns[0])) {
            Fail(i + 1, QStringLiteral("an animal needs an id"));
        }
        if (index.contains(columns[0])) {
            const int earlier = rows[index.value(columns[0])].line;
            Fail(i + 1, QStringLiteral("id %1 is already on line %2")
                            .arg(columns[0], QString::number(earlier)));
        }
        index.insert(columns[0], rows.size());
        rows.push_back({columns[0], IsUnknown(columns[1]) ? QString() : columns[1],
                        IsUnknown(columns[2]) ? QString() : columns[2], i + 1});
    }
    // Parents without a line of their own become founders.
    const std::size_t listed = rows.size();
    for (std::size_t i = 0; i < listed; ++i) {
        for (const QString& parent : {rows[i].sire, rows[i].dam}) {
            if (!parent.isEmpty() && !index.contains(parent)) {
                index.insert(parent, rows.size());
                rows.push_back({parent, QString(), QString(), 0});
            }
        }
    }

    std::vector<int> role(rows.size(), 0);  // 1 sire, 2 dam, 3 both
    for (const Row& row : rows) {
        if (!row.sire.isEmpty()) {
            role[index.value(row.sire)] |= 1;
        }
        if (!row.dam.isEmpty()) {
            role[index.value(row.dam)] |= 2;
        }
    }

    // Depth-first, parents before offspring, otherwise in file order.
    enum class State : quint8 { New, Open, Placed };
    std::vector<State> state(rows.size(), State::New);
    std::vector<qint32> position(rows.size(), 0);
    Pedigree pedigree;
    pedigree.Reserve(static_cast<qint32>(rows.size()));
    qint32 unused = 0;
    const auto place = [&](std::size_t row) {
        const Row& r = rows[row];
        Pedigree::Dog dog;
        dog.sire = r.sire.isEmpty() ? 0 : position[index.value(r.sire)];
        dog.dam = r.dam.isEmpty() ? 0 : position[index.value(r.dam)];
        const quint16 sire_generation = dog.sire > 0 ? pedigree.At(dog.sire).generation + 1 : 0;
        const quint16 dam_generation = dog.dam > 0 ? pedigree.At(dog.dam).generation + 1 : 0;
        dog.generation = std::max(sire_generation, dam_generation);
        dog.name = static_cast<quint32>(pedigree.Size());
        dog.male = role[row] != 0 ? (role[row] & 1) != 0 : (unused++ % 2) == 0;
        position[row] = pedigree.Add(dog, name_prefix + r.id);
    };
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (state[start] != State::New) {
            continue;
        }
        std::vector<std::size_t> stack{start};
        state[start] = State::Open;
        while (!stack.empty()) {
            const Row& row = rows[stack.back()];
            bool waiting = false;
            for (const QString& parent : {row.sire, row.dam}) {
                if (parent.isEmpty()) {
                    continue;
                }
                const std::size_t p = index.value(parent);
                if (state[p] == State::Open) {
                    Fail(rows[p].line, QStringLiteral("%1 is its own ancestor").arg(rows[p].id));
                }
                if (state[p] == State::New) {
                    state[p] = State::Open;
                    stack.push_back(p);
                    waiting = true;
                    break;
                }
            }
            if (!waiting) {
                place(stack.back());
                state[stack.back()] = State::Placed;
                stack.pop_back();
            }
        }
    }
    return pedigree;
}

Pedigree PedigreeCsv::ReadFile(const QString& path, const QString& name_prefix) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    }
    return Parse(QString::fromUtf8(file.readAll()), name_prefix);
}

}  // namespace lineara
