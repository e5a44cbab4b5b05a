#include "analysis/Ancestry.h"

#include "store/DogDatabase.h"
#include "store/Sqlite.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace lineara {

QString ToDecimal(AncestryCount value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    QString digits;
    while (value != 0) {
        digits.prepend(QChar(u'0' + static_cast<char16_t>(value % 10)));
        value /= 10;
    }
    return digits;
}

namespace {

// A parent as the walks see it: 0 when unknown or naming no record.
std::optional<Parents> Known(const ParentLookup& parents, qint32 dog) {
    if (dog == 0) {
        return std::nullopt;
    }
    return parents(dog);
}

struct LiteralWalk {
    const ParentLookup& parents;
    int limit;
    AncestryFigures figures;
    std::unordered_set<qint32> met;

    void Walk(qint32 dog, int generation) {
        if (figures.deepest_generation >= limit) {
            return;
        }
        const std::optional<Parents> record = Known(parents, dog);
        if (!record) {
            figures.complete_generations = std::min(figures.complete_generations, generation - 1);
            return;
        }
        figures.entries += 1;
        figures.deepest_generation = std::max(figures.deepest_generation, generation);
        if (generation == limit) {
            return;
        }
        if (met.insert(dog).second) {
            figures.unique += 1;
        }
        Walk(record->sire, generation + 1);
        Walk(record->dam, generation + 1);
        if (figures.deepest_generation == limit) {
            figures.line.push_back(dog);
        }
    }
};

}  // namespace

AncestryFigures WalkAncestryLiterally(qint32 root, const ParentLookup& parents, int limit) {
    LiteralWalk walk{parents, limit, {}, {}};
    walk.figures.line.push_back(0);
    walk.Walk(root, 0);
    walk.figures.limit_reached = walk.figures.deepest_generation >= limit;
    if (!walk.figures.limit_reached) {
        walk.figures.line.clear();
    }
    return walk.figures;
}

AncestryFigures CountAncestry(qint32 root, const ParentLookup& parents, int limit) {
    AncestryFigures figures;
    // Every dog met gets a dense number, so that the levels are plain arrays; its parents are
    // looked up once, and their numbers taken when the dog is first counted.
    struct Node {
        qint32 dog = 0;
        bool known = false;
        qint32 sire_id = 0;
        qint32 dam_id = 0;
        int sire = -1;
        int dam = -1;
    };
    std::vector<Node> nodes;
    std::unordered_map<qint32, int> number;
    const auto node_of = [&](qint32 dog) {
        const auto [it, added] = number.try_emplace(dog, static_cast<int>(nodes.size()));
        if (added) {
            const std::optional<Parents> record = Known(parents, dog);
            nodes.push_back(Node{dog, record.has_value(), record ? record->sire : 0, record ? record->dam : 0});
        }
        return it->second;
    };

    // Appearances per dog of one generation; `slot` finds a dog in the level being built.
    using Level = std::vector<std::pair<int, AncestryCount>>;
    Level level{{node_of(root), 1}};
    std::vector<int> slot;
    std::vector<char> met;
    // The known dogs of each generation, kept for tracing the line back from the limit.
    std::vector<std::vector<int>> known_levels;
    for (int generation = 0; !level.empty(); ++generation) {
        Level next;
        std::vector<int>& known = known_levels.emplace_back();
        const auto add = [&](int node, AncestryCount count) {
            if (slot.size() < nodes.size()) slot.resize(nodes.size(), -1);
            int& position = slot[static_cast<std::size_t>(node)];
            if (position < 0) {
                position = static_cast<int>(next.size());
                next.emplace_back(node, count);
            } else {
                next[static_cast<std::size_t>(position)].second += count;
            }
        };
        for (const auto& [n, count] : level) {
            if (!nodes[static_cast<std::size_t>(n)].known) {
                figures.complete_generations = std::min(figures.complete_generations, generation - 1);
                continue;
            }
            known.push_back(n);
            figures.entries += count;
            figures.deepest_generation = generation;
            if (generation == limit) {
                continue;
            }
            if (met.size() < nodes.size()) met.resize(nodes.size(), 0);
            if (met[static_cast<std::size_t>(n)] == 0) {
                met[static_cast<std::size_t>(n)] = 1;
                figures.unique += 1;
            }
            if (nodes[static_cast<std::size_t>(n)].sire < 0) {
                const int sire = node_of(nodes[static_cast<std::size_t>(n)].sire_id);
                const int dam = node_of(nodes[static_cast<std::size_t>(n)].dam_id);
                nodes[static_cast<std::size_t>(n)].sire = sire;
                nodes[static_cast<std::size_t>(n)].dam = dam;
            }
            add(nodes[static_cast<std::size_t>(n)].sire, count);
            add(nodes[static_cast<std::size_t>(n)].dam, count);
        }
        for (const auto& entry : next) slot[static_cast<std::size_t>(entry.first)] = -1;
        if (generation == limit) {
            break;
        }
        level = std::move(next);
    }
    if (figures.deepest_generation < limit) {
        return figures;
    }

    // Which dogs of each generation have a line of known dogs up to the limit; then follow
    // the sire wherever it has one, as the depth-first walk does. Every dog below the limit
    // has had its parents numbered.
    figures.limit_reached = true;
    const auto generations = static_cast<std::size_t>(limit) + 1;
    std::vector<std::vector<bool>> reaches(generations, std::vector<bool>(nodes.size(), false));
    for (int n : known_levels[generations - 1]) reaches[generations - 1][static_cast<std::size_t>(n)] = true;
    for (std::size_t g = generations - 1; g-- > 0;) {
        const std::vector<bool>& above = reaches[g + 1];
        for (int n : known_levels[g]) {
            const Node& node = nodes[static_cast<std::size_t>(n)];
            if (above[static_cast<std::size_t>(node.sire)] || above[static_cast<std::size_t>(node.dam)]) {
                reaches[g][static_cast<std::size_t>(n)] = true;
            }
        }
    }
    std::vector<int> path{number.at(root)};
    for (std::size_t g = 0; g + 2 < generations; ++g) {
        const Node& node = nodes[static_cast<std::size_t>(path.back())];
        path.push_back(reaches[g + 1][static_cast<std::size_t>(node.sire)] ? node.sire : node.dam);
    }
    figures.line.assign(1, 0);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        figures.line.push_back(nodes[static_cast<std::size_t>(*it)].dog);
    }
    return figures;
}

std::optional<LineRepeat> FindRepeat(const std::vector<qint32>& line) {
    for (int i = static_cast<int>(line.size()) - 1; i >= 1; --i) {
        for (int j = i - 1; j >= 1; --j) {
            if (line[static_cast<std::size_t>(i)] == line[static_cast<std::size_t>(j)]) {
                return LineRepeat{i, j};
            }
        }
    }
    return std::nullopt;
}

QString InformationText(const QString& root_name, const AncestryFigures& figures) {
    return QStringLiteral("The lineara of ") + root_name + QStringLiteral(" contains ") +
           ToDecimal(figures.entries) + QStringLiteral(" entries (") + ToDecimal(figures.unique) +
           QStringLiteral(" unique) going as far back as ") + QString::number(figures.deepest_generation) +
           QStringLiteral(" generations.  It contains complete lineara information for ") +
           QString::number(figures.complete_generations) + QStringLiteral(" generations.");
}

QString RecursiveEntryText(const QString& root_name, int limit) {
    return QStringLiteral("The lineara of ") + root_name + QStringLiteral(" was traced back ") +
           QString::number(limit) +
           QStringLiteral(" generations before stopping.  There may be a recursive relationship mistakenly "
                          "entered somewhere in the lineara. (A recursive entry is where a dog is listed as "
                          "one of it's own ancestors).");
}

QString RecursiveLineText(const std::vector<qint32>& line, const LineRepeat& repeat,
                          const std::function<QString(qint32)>& reg_name) {
    const auto name = [&](int k) { return reg_name(line.at(static_cast<std::size_t>(k))); };
    QString text = QStringLiteral("There is a recursion problem with the lineara of ") + name(repeat.first) +
                   QStringLiteral(".  This dog appears as it's own ancestor along this line:\r\r") +
                   name(repeat.first);
    for (int k = repeat.first - 1; k >= repeat.second; --k) {
        text += QStringLiteral(" <- ") + name(k);
    }
    text += QStringLiteral("\r\r(") + name(repeat.second) + QStringLiteral(" should probably not be a parent of ") +
            name(repeat.second + 1) + QStringLiteral(" - Show this lineara?)");
    return text;
}

ParentLookup DatabaseParents(DogDatabase& database) {
    auto statement = std::make_shared<sqlite::Statement>(
        database.Connection(), "SELECT SireID, DamID FROM DogInfo WHERE DogID = ?1");
    return [statement](qint32 dog) -> std::optional<Parents> {
        statement->Reset();
        statement->BindInteger(1, dog);
        if (!statement->Step()) {
            statement->Reset();
            return std::nullopt;
        }
        Parents p;
        p.sire = statement->IsNull(0) ? 0 : static_cast<qint32>(statement->Integer(0));
        p.dam = statement->IsNull(1) ? 0 : static_cast<qint32>(statement->Integer(1));
        statement->Reset();
        return p;
    };
}

AncestryFigures CountAncestry(DogDatabase& database, qint32 root, int limit) {
    // Without it every lookup takes and drops the file's lock and checks for a journal,
    // which costs more than the count itself.
    DogDatabase::ReadTransaction read(database);
    return CountAncestry(root, DatabaseParents(database), limit);
}

QString RegNameOf(DogDatabase& database, qint32 dog_id) {
    sqlite::Statement statement(database.Connection(), "SELECT RegName FROM DogInfo WHERE DogID = ?1");
    statement.BindInteger(1, dog_id);
    if (!statement.Step() || statement.IsNull(0)) {
        return {};
    }
    return statement.Text(0);
}

namespace {

struct Row {
    ListedDog dog;
    std::optional<qint64> sire;
    std::optional<qint64> dam;
};

std::vector<Row> ParentMatches(DogDatabase& database, qint32 sire, qint32 dam) {
    // An OR of two indexed columns: SQLite reads both indexes and merges the rows.
    sqlite::Statement statement(database.Connection(),
                                "SELECT DogID, RegName, SireID, DamID FROM DogInfo "
                                "WHERE SireID = ?1 OR DamID = ?2 ORDER BY DogID");
    statement.BindInteger(1, sire);
    statement.BindInteger(2, dam);
    std::vector<Row> rows;
    while (statement.Step()) {
        Row row;
        row.dog.dog_id = static_cast<qint32>(statement.Integer(0));
        row.dog.reg_name = statement.IsNull(1) ? QString() : statement.Text(1);
        if (!statement.IsNull(2)) row.sire = statement.Integer(2);
        if (!statement.IsNull(3)) row.dam = statement.Integer(3);
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortIgnoringCase(std::vector<ListedDog>& dogs) {
    std::stable_sort(dogs.begin(), dogs.end(), [](const ListedDog& a, const ListedDog& b) {
        return QString::compare(a.reg_name, b.reg_name, Qt::CaseInsensitive) < 0;
    });
}

}  // namespace

SiblingLists FindSiblings(DogDatabase& database, qint32 root, qint32 sire, qint32 dam) {
    SiblingLists lists;
    for (Row& row : ParentMatches(database, sire, dam)) {
        if (row.dog.dog_id == root) {
            continue;
        }
        const bool same_sire = row.sire == sire;
        const bool same_dam = row.dam == dam;
        (same_sire && same_dam ? lists.full : lists.half).push_back(std::move(row.dog));
    }
    SortIgnoringCase(lists.full);
    SortIgnoringCase(lists.half);
    return lists;
}

std::vector<ListedDog> FindOffspring(DogDatabase& database, qint32 root) {
    std::vector<ListedDog> offspring;
    for (Row& row : ParentMatches(database, root, root)) {
        offspring.push_back(std::move(row.dog));
    }
    SortIgnoringCase(offspring);
    return offspring;
}

}  // namespace lineara
