#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

namespace lineara {

class DogDatabase;

// Counts of a whole ancestry can pass 2^64 (a 100-generation line holds up to 2^101 - 1
// entries), so they are kept in 128 bits.
__extension__ typedef unsigned __int128 AncestryCount;

// Plain decimal digits of a count.
QString ToDecimal(AncestryCount value);

// The parents of one dog as stored; 0 stands for an unknown parent.
struct Parents {
    qint32 sire = 0;
    qint32 dam = 0;
};

// Looks a dog up by DogID: its parents, or nothing when no record has that DogID. A parent
// that names no record is treated by the walks as unknown.
using ParentLookup = std::function<std::optional<Parents>(qint32)>;

// The figures of one ancestry run.
struct AncestryFigures {
    AncestryCount entries = 0;     // occupied positions, the root included, once per line
    AncestryCount unique = 0;      // distinct dogs
    int deepest_generation = 0;    // root = 0
    int complete_generations = 32768;
    // True when some line reached the generation limit; the figures above are then not
    // shown, and `line` holds the line that reached it.
    bool limit_reached = false;
    // Filled only when the limit was reached: index 0 is a placeholder 0, index k holds the
    // dog at generation limit - k, so the root stands last.
    std::vector<qint32> line;
};

inline constexpr int kTraceLimit = 100;

// The walk as first designed: every line of descent separately, sire before dam. Its cost
// grows with the number of lines, so it is kept only as the yardstick the fast count is
// checked against.
AncestryFigures WalkAncestryLiterally(qint32 root, const ParentLookup& parents, int limit = kTraceLimit);

// The same figures counted level by level: appearances per (dog, generation), so each
// distinct dog is looked up once and the cost is distinct dogs times depth. When the limit
// is reached the line is the first one the literal walk would follow to it.
AncestryFigures CountAncestry(qint32 root, const ParentLookup& parents, int limit = kTraceLimit);

// Where a line that reached the limit repeats: `first` is the repeated dog nearest the root
// and `second` its nearest repetition further back (indices into the line).
struct LineRepeat {
    int first = 0;
    int second = 0;
};
std::optional<LineRepeat> FindRepeat(const std::vector<qint32>& line);

// The messages of a run. `root_name` is the root's name as shown on the chart; `reg_name`
// gives a dog's registered name as stored (empty for none).
QString InformationText(const QString& root_name, const AncestryFigures& figures);
QString RecursiveEntryText(const QString& root_name, int limit = kTraceLimit);
QString RecursiveLineText(const std::vector<qint32>& line, const LineRepeat& repeat,
                          const std::function<QString(qint32)>& reg_name);
// The dog through which the loop enters: the one offered as the new root.
inline qint32 LoopEntryDog(const std::vector<qint32>& line, const LineRepeat& repeat) {
    return line.at(static_cast<std::size_t>(repeat.second + 1));
}

// Parent lookups against a database file; found records are remembered for the run.
ParentLookup DatabaseParents(DogDatabase& database);
// CountAncestry on a database file, the whole count inside one read of the file.
AncestryFigures CountAncestry(DogDatabase& database, qint32 root, int limit = kTraceLimit);
// A dog's RegName as stored ("" for Null or no record).
QString RegNameOf(DogDatabase& database, qint32 dog_id);

// Siblings and offspring, found through the SireID and DamID indexes.
struct ListedDog {
    qint32 dog_id = 0;
    QString reg_name;
};
struct SiblingLists {
    std::vector<ListedDog> full;
    std::vector<ListedDog> half;
};
// Sorted ignoring case, ties in DogID order. The root is never its own sibling; a dog with
// both parents in common is listed only as a full sibling.
SiblingLists FindSiblings(DogDatabase& database, qint32 root, qint32 sire, qint32 dam);
// Every dog with the root as SireID or DamID (once, even if it is both).
std::vector<ListedDog> FindOffspring(DogDatabase& database, qint32 root);

}  // namespace lineara
