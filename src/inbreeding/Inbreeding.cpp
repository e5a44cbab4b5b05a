#include "inbreeding/Inbreeding.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <thread>
#include <unordered_map>
#include <utility>

namespace lineara {

namespace {

constexpr int kNone = -1;
// From how many dogs in an ancestry a second thread is worth starting.
constexpr int kLargeAncestry = 2000;

// The ancestry of the analysed dog to the analysis depth, with dense local numbers. Every
// distinct dog is looked up once; a parent naming no record is an unknown parent.
struct LocalPedigree {
    std::vector<qint32> dog_id;
    std::vector<int> sire;
    std::vector<int> dam;
    // A topological numbering: every parent has a smaller number than its child.
    std::vector<int> topo;
    std::vector<int> by_topo;
    // The fewest generations between the analysed dog and each dog.
    std::vector<int> nearest;
    bool has_loop = false;

    int Count() const { return static_cast<int>(dog_id.size()); }
};

LocalPedigree LoadAncestry(qint32 root, int generations, const ParentLookup& parents) {
    LocalPedigree p;
    std::unordered_map<qint32, int> local;
    std::vector<Parents> stored;
    int generation = 0;
    auto add = [&](qint32 id) -> int {
        if (id == 0) {
            return kNone;
        }
        const auto found = local.find(id);
        if (found != local.end()) {
            return found->second;
        }
        const std::optional<Parents> record = parents(id);
        if (!record) {
            local.emplace(id, kNone);
            return kNone;
        }
        const int index = p.Count();
        local.emplace(id, index);
        p.dog_id.push_back(id);
        p.sire.push_back(kNone);
        p.dam.push_back(kNone);
        p.nearest.push_back(generation);
        stored.push_back(*record);
        return index;
    };
    std::vector<char> expanded;
    std::vector<int> level{add(root)};
    for (int g = 0; g < generations && !level.empty(); ++g) {
        generation = g + 1;
        std::vector<int> next;
        for (const int z : level) {
            expanded.resize(static_cast<std::size_t>(p.Count()), 0);
            if (expanded[static_cast<std::size_t>(z)]) {
                continue;
            }
            expanded[static_cast<std::size_t>(z)] = 1;
            const Parents record = stored[static_cast<std::size_t>(z)];
            const int s = add(record.sire);
            const int d = add(record.dam);
            p.sire[static_cast<std::size_t>(z)] = s;
            p.dam[static_cast<std::size_t>(z)] = d;
            for (const int parent : {s, d}) {
                if (parent != kNone) {
                    next.push_back(parent);
                }
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        level = std::move(next);
    }

    // Depth-first numbering, parents first; a parent met while still open is a loop.
    const int n = p.Count();
    p.topo.assign(static_cast<std::size_t>(n), kNone);
    std::vector<char> open(static_cast<std::size_t>(n), 0);
    std::vector<std::pair<int, int>> stack;
    for (int start = 0; start < n; ++start) {
        if (p.topo[static_cast<std::size_t>(start)] != kNone) {
            continue;
        }
        stack.push_back({start, 0});
        open[static_cast<std::size_t>(start)] = 1;
        while (!stack.empty()) {
            auto& [z, step] = stack.back();
            if (step < 2) {
                const int parent = step == 0 ? p.sire[static_cast<std::size_t>(z)]
                                             : p.dam[static_cast<std::size_t>(z)];
                ++step;
                if (parent == kNone || p.topo[static_cast<std::size_t>(parent)] != kNone) {
                    continue;
                }
                if (open[static_cast<std::size_t>(parent)]) {
                    p.has_loop = true;
                    continue;
                }
                open[static_cast<std::size_t>(parent)] = 1;
                stack.push_back({parent, 0});
                continue;
            }
            open[static_cast<std::size_t>(z)] = 0;
            p.topo[static_cast<std::size_t>(z)] = static_cast<int>(p.by_topo.size());
            p.by_topo.push_back(z);
            stack.pop_back();
        }
    }
    if (!p.has_loop && n > 0) {
        // Renumber by the longest line back to a dog without known parents, oldest first:
        // still parents before children, and dogs of one age close together, so the sets of
        // dogs a dog reaches within a few generations span few numbers, and the two lines of
        // the sweep step back in near lockstep (fewer states than numbering from the analysed
        // dog's end).
        std::vector<int> height(static_cast<std::size_t>(n), 0);
        for (const int z : p.by_topo) {  // parents first
            const auto uz = static_cast<std::size_t>(z);
            for (const int parent : {p.sire[uz], p.dam[uz]}) {
                if (parent != kNone) {
                    height[uz] = std::max(height[uz], height[static_cast<std::size_t>(parent)] + 1);
                }
            }
        }
        std::stable_sort(p.by_topo.begin(), p.by_topo.end(), [&height](int a, int b) {
            return height[static_cast<std::size_t>(a)] < height[static_cast<std::size_t>(b)];
        });
        for (int t = 0; t < n; ++t) {
            p.topo[static_cast<std::size_t>(p.by_topo[static_cast<std::size_t>(t)])] = t;
        }
    }
    return p;
}

// Per ancestor of one analysis: the report's figures, and what orders and weighs it.
struct Tally {
    AncestorEntry entry;
    int local = kNone;
    quint64 first_key = ~quint64{0};  // place of first appearance in the chart walk's order
    int min_generation = 0;
    quint64 paths = 0;  // path sum in units of 2^-(2N - 1)
    // The same sum split by the larger of the two generations of each pair of lines: the
    // pairs that lie within d generations are those of levels 1..d.
    std::array<quint64, kMaxAnalysisGenerations + 1> level_paths{};
};

// One ancestor's share of a planned sub-analysis: its path sum and the depth its own
// coefficient is asked for.
struct PlanEntry {
    int local = kNone;
    int remaining = 0;
    double paths = 0;
};

// Which dogs each dog reaches within k generations (itself at 0), as bit rows over the
// topological numbers, each with the span of words it uses. Two lines can only meet at a dog
// both ends reach within their remaining generations, so a state whose rows do not overlap
// leads nowhere and is dropped: the results stay the same, the sweep shrinks.
class ReachTable {
public:
    void Build(const LocalPedigree& pedigree, int generations) {
        reach_depths_ = generations + 1;
        // Two lines can meet only at a dog with two different children in the ancestry (two
        // lines arriving through one child would have met at the child), so only such dogs
        // get a bit.
        std::vector<int> first_child(static_cast<std::size_t>(pedigree.Count()), kNone);
        std::vector<char> meets(static_cast<std::size_t>(pedigree.Count()), 0);
        for (int child = 0; child < pedigree.Count(); ++child) {
            for (const int parent : {pedigree.sire[static_cast<std::size_t>(child)],
                                     pedigree.dam[static_cast<std::size_t>(child)]}) {
                if (parent == kNone) {
                    continue;
                }
                int& first = first_child[static_cast<std::size_t>(parent)];
                if (first == kNone) {
                    first = child;
                } else if (first != child) {
                    meets[static_cast<std::size_t>(parent)] = 1;
                }
            }
        }
        std::vector<int> bit(static_cast<std::size_t>(pedigree.Count()), kNone);
        int bits = 0;
        for (const int z : pedigree.by_topo) {
            if (meets[static_cast<std::size_t>(z)]) {
                bit[static_cast<std::size_t>(z)] = bits++;
            }
        }
        const int words = std::max(1, (bits + 63) / 64);
        block_words_ = (words + 63) / 64;
        const std::size_t rows =
            static_cast<std::size_t>(pedigree.Count()) * static_cast<std::size_t>(reach_depths_);
        rows_.assign(rows, ReachRow{});
        reach_.clear();
        std::vector<quint64> row(static_cast<std::size_t>(words), 0);
        for (const int z : pedigree.by_topo) {  // parents first
            const int t = bit[static_cast<std::size_t>(z)];
            const int sire = pedigree.sire[static_cast<std::size_t>(z)];
            const int dam = pedigree.dam[static_cast<std::size_t>(z)];
            // A dog never stands nearer the analysed dog than `nearest`, in any analysis of the
            // run (a sub-analysis of an ancestor goes no deeper than the first one did through
            // it), so no more rows than that are ever asked for.
            const int needed = reach_depths_ - 1 - pedigree.nearest[static_cast<std::size_t>(z)];
            for (int k = 0; k < reach_depths_; ++k) {
                if (k > needed) {
                    rows_[RowIndex(z, k)] = rows_[RowIndex(z, k - 1)];
                    continue;
                }
                // Once the parents' rows stop growing, so does this one: share it.
                auto unchanged = [&](int parent) {
                    return parent == kNone || (k >= 2 && rows_[RowIndex(parent, k - 1)] ==
                                                             rows_[RowIndex(parent, k - 2)]);
                };
                if (k >= 1 && unchanged(sire) && unchanged(dam) &&
                    (k >= 2 || (sire == kNone && dam == kNone))) {
                    rows_[RowIndex(z, k)] = rows_[RowIndex(z, k - 1)];
                    continue;
                }
                int lo = words;
                int hi = 0;
                if (t != kNone) {
                    lo = t / 64;
                    hi = t / 64 + 1;
                    row[static_cast<std::size_t>(lo)] = quint64{1} << (t % 64);
                }
                if (k > 0) {
                    for (const int parent : {pedigree.sire[static_cast<std::size_t>(z)],
                                             pedigree.dam[static_cast<std::size_t>(z)]}) {
                        if (parent == kNone) {
                            continue;
                        }
                        const std::size_t from_row = RowIndex(parent, k - 1);
                        const int plo = rows_[from_row].lo;
                        const int phi = rows_[from_row].hi;
                        lo = std::min(lo, plo);
                        hi = std::max(hi, phi);
                        const quint64* from = reach_.data() + rows_[from_row].offset;
                        for (int w = plo; w < phi; ++w) {
                            row[static_cast<std::size_t>(w)] |= from[w - plo];
                        }
                    }
                }
                if (lo >= hi) {
                    lo = hi = 0;  // reaches no dog where lines can meet
                }
                const std::size_t index = RowIndex(z, k);
                quint64 blocks = 0;
                for (int w = lo; w < hi; ++w) {
                    if (row[static_cast<std::size_t>(w)] != 0) {
                        blocks |= quint64{1} << (w / block_words_);
                    }
                }
                rows_[index] = {static_cast<quint32>(reach_.size()), static_cast<quint16>(lo),
                                static_cast<quint16>(hi), blocks};
                reach_.insert(reach_.end(), row.begin() + lo, row.begin() + hi);
                std::fill(row.begin() + lo, row.begin() + hi, 0);
            }
        }
    }

    bool CanMeet(int x, int kx, int y, int ky) const {
        const std::size_t rx = RowIndex(x, kx);
        const std::size_t ry = RowIndex(y, ky);
        const ReachRow& x_row = rows_[rx];
        const ReachRow& y_row = rows_[ry];
        // Only blocks of words where both rows hold some dog can hold a common one.
        quint64 blocks = x_row.blocks & y_row.blocks;
        const quint64* a = reach_.data() + x_row.offset;
        const quint64* b = reach_.data() + y_row.offset;
        while (blocks != 0) {
            const int block = std::countr_zero(blocks);
            blocks &= blocks - 1;
            const int lo = std::max({block * block_words_, int{x_row.lo}, int{y_row.lo}});
            const int hi = std::min({(block + 1) * block_words_, int{x_row.hi}, int{y_row.hi}});
            for (int w = lo; w < hi; ++w) {
                if ((a[w - x_row.lo] & b[w - y_row.lo]) != 0) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    std::size_t RowIndex(int z, int k) const {
        return static_cast<std::size_t>(z) * static_cast<std::size_t>(reach_depths_) +
               static_cast<std::size_t>(k);
    }

    int reach_depths_ = 0;
    std::vector<quint64> reach_;
    // Sixteen bytes, so that a row's header is one read: a chart of 20 generations has at
    // most 2^21 places, so fewer than 2^16 words of 64 dogs, and the stored words stay far
    // below 2^32 within the memory an analysis may use.
    struct ReachRow {
        quint32 offset = 0;  // words lo..hi-1 of the row are stored from here in reach_
        quint16 lo = 0;
        quint16 hi = 0;
        quint64 blocks = 0;  // bit j: some dog among words j * block_words_ onwards

        // The same stored row (an empty row may share its offset with the next one stored).
        friend bool operator==(const ReachRow&, const ReachRow&) = default;
    };
    int block_words_ = 1;
    std::vector<ReachRow> rows_;
};

// How far a kinship sweep on another thread has come. It takes its dogs youngest first (by
// topological number), and lines can only meet at a dog older than the one being taken, so
// once it has taken dog t, the ancestors numbered t or above have all their meetings: the
// sub-analyses those ancestors ask for are released, with their depths.
class SweepFrontier {
public:
    using Requests = std::vector<std::pair<int, int>>;  // ancestor, generations

    int Reached() const { return reached_.load(); }
    bool Finished() const { return finished_.load(); }

    // `wake_at`: the highest topological number, plus one, of the younger parent of any pair
    // asked for in `released`, which can be swept once the sweep has taken that dog.
    void Reach(int t, const Requests& released, int wake_at) {
        if (!released.empty()) {
            const std::lock_guard lock(mutex_);
            released_.insert(released_.end(), released.begin(), released.end());
            released_wake_at_.store(std::max(released_wake_at_.load(), wake_at));
        }
        reached_.store(t);
        // Woken only when a pair is ready.
        const int waiting_for = waiting_for_.load();
        if (waiting_for != kAwake && (t <= waiting_for || t <= released_wake_at_.load())) {
            const std::lock_guard lock(mutex_);
            changed_.notify_one();
        }
    }

    void Finish(const Requests& released) {
        const std::lock_guard lock(mutex_);
        released_.insert(released_.end(), released.begin(), released.end());
        reached_.store(-1);
        finished_.store(true);
        changed_.notify_one();
    }

    Requests TakeReleased() {
        const std::lock_guard lock(mutex_);
        released_wake_at_.store(kAwake);
        return std::exchange(released_, {});
    }

    // Until the sweep has taken a dog numbered `t` or below, released a pair ready to sweep
    // or finished.
    void WaitUntil(int t) {
        std::unique_lock lock(mutex_);
        waiting_for_.store(t);
        changed_.wait(lock, [&] {
            const int reached = reached_.load();
            return finished_.load() || reached <= t || reached <= released_wake_at_.load();
        });
        waiting_for_.store(kAwake);
    }

private:
    static constexpr int kAwake = std::numeric_limits<int>::min();
    std::atomic<int> reached_{std::numeric_limits<int>::max()};
    std::atomic<bool> finished_{false};
    std::atomic<int> waiting_for_{kAwake};
    std::atomic<int> released_wake_at_{kAwake};
    std::mutex mutex_;
    std::condition_variable changed_;
    Requests released_;
};

// The scratch tables of one analysis's level counts and kinship sweep, over an ancestry and its
// reach table. One analysis at a time uses a sweeper.
class Sweeper {
public:
    Sweeper(const LocalPedigree& pedigree, const ReachTable& reach)
        : pedigree_(pedigree), reach_(reach) {
        const auto n = static_cast<std::size_t>(pedigree_.Count());
        level_sire_.assign(n, 0);
        level_dam_.assign(n, 0);
        level_min_.assign(n, 0);
        tally_of_.assign(n, kNone);
        tally_stamp_.assign(n, 0);
        buckets_.resize(n);
        queued_.assign(n, 0);
    }

    Tally& TallyOf(int z, int depth) {
        const auto uz = static_cast<std::size_t>(z);
        if (tally_stamp_[uz] != stamp_) {
            tally_stamp_[uz] = stamp_;
            tally_of_[uz] = static_cast<int>(tallies_.size());
            Tally t;
            t.local = z;
            t.entry.dog_id = pedigree_.dog_id[uz];
            t.entry.sire_side_earliest = t.entry.dam_side_earliest = depth;
            t.entry.earliest_position = (qint64{1} << (depth + 1)) - 1;
            t.min_generation = depth;
            tallies_.push_back(t);
        }
        return tallies_[static_cast<std::size_t>(tally_of_[uz])];
    }

    // Appearances per dog and generation, each side apart, with the lowest place of each.
    void CountLevels(int x, int depth, InbreedingAnalysis& result) {
        result.entries_filled = 1;
        result.deepest_generation = 0;
        result.complete_generations = depth;
        std::vector<int> level{x};
        const auto ux = static_cast<std::size_t>(x);
        level_sire_[ux] = level_dam_[ux] = 0;
        level_min_[ux] = 1;
        for (int g = 0; g < depth; ++g) {
            std::vector<int> next;
            ++level_round_;
            for (const int z : level) {
                const auto uz = static_cast<std::size_t>(z);
                const int parents[2] = {pedigree_.sire[uz], pedigree_.dam[uz]};
                for (int k = 0; k < 2; ++k) {
                    const int parent = parents[k];
                    if (parent == kNone) {
                        result.complete_generations = std::min(result.complete_generations, g);
                        continue;
                    }
                    const auto up = static_cast<std::size_t>(parent);
                    quint32 on_sire = level_sire_[uz];
                    quint32 on_dam = level_dam_[uz];
                    if (g == 0) {
                        (k == 0 ? on_sire : on_dam) = 1;
                    }
                    const quint64 place = 2 * level_min_[uz] + static_cast<quint64>(k);
                    if (next_stamp(up)) {
                        next.push_back(parent);
                        next_sire_[up] = on_sire;
                        next_dam_[up] = on_dam;
                        next_min_[up] = place;
                    } else {
                        next_sire_[up] += on_sire;
                        next_dam_[up] += on_dam;
                        next_min_[up] = std::min(next_min_[up], place);
                    }
                }
            }
            const int generation = g + 1;
            if (!next.empty()) {
                result.deepest_generation = generation;
            }
            for (const int z : next) {
                const auto uz = static_cast<std::size_t>(z);
                level_sire_[uz] = next_sire_[uz];
                level_dam_[uz] = next_dam_[uz];
                level_min_[uz] = next_min_[uz];
                const quint32 both = level_sire_[uz] + level_dam_[uz];
                result.entries_filled += static_cast<qint32>(both);
                Tally& t = TallyOf(z, depth);
                AncestorEntry& e = t.entry;
                e.percent_of_blood += std::ldexp(static_cast<double>(both), -generation);
                if (level_sire_[uz] != 0) {
                    e.sire_side_earliest = std::min(e.sire_side_earliest, generation);
                    e.sire_side_count += static_cast<qint32>(level_sire_[uz]);
                }
                if (level_dam_[uz] != 0) {
                    e.dam_side_earliest = std::min(e.dam_side_earliest, generation);
                    e.dam_side_count += static_cast<qint32>(level_dam_[uz]);
                }
                t.min_generation = std::min(t.min_generation, generation);
                e.earliest_position =
                    std::min(e.earliest_position, static_cast<qint64>(level_min_[uz]));
                // The walk's order of places: a place before its ancestors' places, and
                // places of one generation by number.
                const quint64 key = ((level_min_[uz] << (depth - generation)) << 5) |
                                    static_cast<quint64>(generation);
                t.first_key = std::min(t.first_key, key);
                if (record_nodes_) {
                    nodes_.push_back({tally_of_[uz], key});
                }
            }
            level = std::move(next);
        }
    }

    bool next_stamp(std::size_t z) {
        if (next_sire_.size() < level_sire_.size()) {
            next_sire_.assign(level_sire_.size(), 0);
            next_dam_.assign(level_sire_.size(), 0);
            next_min_.assign(level_sire_.size(), 0);
            next_round_.assign(level_sire_.size(), 0);
        }
        if (next_round_[z] == level_round_) {
            return false;
        }
        next_round_[z] = level_round_;
        return true;
    }

    // The kinship sweep: states are a dog on the sire's side and one on the dam's side, each
    // with its generation, and the number of pairs of lines that lead to them. The younger
    // dog (in the topological numbering) always steps back to its parents, so two lines that
    // share a dog meet there first and end; lines that never share a dog before the ancestor
    // meet at the ancestor.
    static quint64 Pack(int other, int younger_generation, int other_generation,
                        bool younger_on_sire_side) {
        return (static_cast<quint64>(other) << 11) |
               (static_cast<quint64>(younger_generation) << 6) |
               (static_cast<quint64>(other_generation) << 1) | (younger_on_sire_side ? 1u : 0u);
    }

    bool Push(int sire_dog, int sire_generation, int dam_dog, int dam_generation, quint64 count,
              int depth, bool test = true) {
        if (sire_dog == dam_dog) {
            Tally& t = TallyOf(sire_dog, depth);
            if (frontier_ != nullptr && t.paths == 0) {
                meetings_.push({pedigree_.topo[static_cast<std::size_t>(sire_dog)],
                                tally_of_[static_cast<std::size_t>(sire_dog)]});
            }
            const quint64 weight = count << (2 * depth - sire_generation - dam_generation);
            t.paths += weight;
            t.level_paths[static_cast<std::size_t>(std::max(sire_generation, dam_generation))] +=
                weight;
            return true;
        }
        if (test &&
            !reach_.CanMeet(sire_dog, depth - sire_generation, dam_dog, depth - dam_generation)) {
            return false;
        }
        const int ts = pedigree_.topo[static_cast<std::size_t>(sire_dog)];
        const int td = pedigree_.topo[static_cast<std::size_t>(dam_dog)];
        const bool sire_younger = ts > td;
        const int t = sire_younger ? ts : td;
        const quint64 key = sire_younger ? Pack(dam_dog, sire_generation, dam_generation, true)
                                         : Pack(sire_dog, dam_generation, sire_generation, false);
        auto& bucket = buckets_[static_cast<std::size_t>(t)];
        if (bucket.capacity() == 0 && !spare_buckets_.empty()) {
            bucket = std::move(spare_buckets_.back());
            spare_buckets_.pop_back();
        }
        bucket.push_back({key, count});
        if (!queued_[static_cast<std::size_t>(t)]) {
            queued_[static_cast<std::size_t>(t)] = 1;
            queue_.push(t);
        }
        return true;
    }

    // Adds up the counts of equal states (the order of states does not matter: counts are
    // whole numbers).
    void Merge(std::vector<std::pair<quint64, quint64>>& bucket) {
        if (bucket.size() < 2) {
            return;
        }
        std::size_t size = 16;
        while (size < bucket.size() * 2) {
            size *= 2;
        }
        if (slots_.size() < size) {
            slots_.assign(size, kEmptySlot);
        }
        const std::size_t mask = size - 1;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < bucket.size(); ++i) {
            const quint64 key = bucket[i].first;
            std::size_t h = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
            while (true) {
                const std::size_t slot = slots_[h];
                if (slot == kEmptySlot) {
                    slots_[h] = kept;
                    bucket[kept++] = bucket[i];
                    break;
                }
                if (bucket[slot].first == key) {
                    bucket[slot].second += bucket[i].second;
                    break;
                }
                h = (h + 1) & mask;
            }
        }
        bucket.resize(kept);
        // Clear only the slots used.
        for (const auto& entry : bucket) {
            std::size_t h =
                static_cast<std::size_t>((entry.first * 0x9E3779B97F4A7C15ull) >> 20) & mask;
            while (slots_[h] != kEmptySlot) {
                slots_[h] = kEmptySlot;
                h = (h + 1) & mask;
            }
        }
    }

    void Sweep(int s, int d, int depth) {
        Push(s, 1, d, 1, 1, depth);
        while (!queue_.empty()) {
            const int t = queue_.top();
            queue_.pop();
            if (frontier_ != nullptr) {
                int wake_at = 0;
                const SweepFrontier::Requests released = MeetingsFrom(t, depth, wake_at);
                frontier_->Reach(t, released, wake_at);
            }
            queued_[static_cast<std::size_t>(t)] = 0;
            std::vector<std::pair<quint64, quint64>> bucket =
                std::move(buckets_[static_cast<std::size_t>(t)]);
            buckets_[static_cast<std::size_t>(t)] = {};
            Merge(bucket);
            const int u = pedigree_.by_topo[static_cast<std::size_t>(t)];
            const auto uu = static_cast<std::size_t>(u);
            for (const auto& [key, count] : bucket) {
                const int younger_generation = static_cast<int>((key >> 6) & 31);
                if (younger_generation >= depth) {
                    continue;
                }
                const int other = static_cast<int>(key >> 11);
                const int other_generation = static_cast<int>((key >> 1) & 31);
                const bool on_sire_side = (key & 1) != 0;
                // This state can still meet, and never at u itself (the other dog is older), so
                // it meets through one of u's parents: when there is one parent, or the first
                // cannot meet, the other needs no test.
                const int sire = pedigree_.sire[uu];
                const int dam = pedigree_.dam[uu];
                const int first = sire != kNone ? sire : dam;
                const int second = sire != kNone ? dam : kNone;
                if (first == kNone) {
                    continue;
                }
                auto step = [&](int parent, bool test) {
                    return on_sire_side ? Push(parent, younger_generation + 1, other,
                                               other_generation, count, depth, test)
                                        : Push(other, other_generation, parent,
                                               younger_generation + 1, count, depth, test);
                };
                const bool first_meets = step(first, second != kNone);
                if (second != kNone) {
                    step(second, first_meets);
                }
            }
            // Handed on to a bucket filled later, so that buckets grow without reallocating.
            bucket.clear();
            spare_buckets_.push_back(std::move(bucket));
        }
    }

    // A sweep whose finished ancestors go out to the sub-analyses as it goes.
    void SweepReleasing(int s, int d, int depth, SweepFrontier& frontier) {
        frontier_ = &frontier;
        Sweep(s, d, depth);
        frontier_ = nullptr;
        int wake_at = 0;
        frontier.Finish(MeetingsFrom(-1, depth, wake_at));
    }

    // The sub-analyses asked for by the ancestors numbered t or above that lines meet at (but
    // not those that need none: a dog without two parents, or whose sire is its dam).
    SweepFrontier::Requests MeetingsFrom(int t, int depth, int& wake_at) {
        SweepFrontier::Requests requests;
        wake_at = std::numeric_limits<int>::min();
        while (!meetings_.empty() && meetings_.top().first >= t) {
            const Tally& tally = tallies_[static_cast<std::size_t>(meetings_.top().second)];
            meetings_.pop();
            const auto local = static_cast<std::size_t>(tally.local);
            const int s = pedigree_.sire[local];
            const int d = pedigree_.dam[local];
            const int generations = depth - tally.min_generation;
            if (generations <= 0 || s == kNone || d == kNone || s == d) {
                continue;
            }
            requests.push_back({tally.local, generations});
            wake_at = std::max(wake_at, std::max(pedigree_.topo[static_cast<std::size_t>(s)],
                                                 pedigree_.topo[static_cast<std::size_t>(d)]) +
                                            1);
        }
        return requests;
    }

    const LocalPedigree& pedigree_;
    const ReachTable& reach_;
    SweepFrontier* frontier_ = nullptr;
    std::priority_queue<std::pair<int, int>>
        meetings_;  // number and tally of each dog lines met at
    std::vector<Tally> tallies_;
    std::vector<int> tally_of_;
    std::vector<quint64> tally_stamp_;
    quint64 stamp_ = 0;
    std::vector<quint32> level_sire_, level_dam_, next_sire_, next_dam_;
    std::vector<quint64> level_min_, next_min_;
    std::vector<quint64> next_round_;
    quint64 level_round_ = 0;
    std::vector<std::vector<std::pair<quint64, quint64>>> buckets_;
    std::vector<std::vector<std::pair<quint64, quint64>>> spare_buckets_;
    std::vector<char> queued_;
    std::priority_queue<int> queue_;
    static constexpr std::size_t kEmptySlot = ~std::size_t{0};
    std::vector<std::size_t> slots_;
    bool record_nodes_ = false;
    std::vector<std::pair<int, quint64>>
        nodes_;  // tally and key of each (dog, generation), by generation
};

class Engine {
public:
    Engine(qint32 root, int generations, const ParentLookup& parents, CoefficientCache* cache,
           SecondThread second)
        : parents_(parents),
          cache_(cache),
          second_thread_(second),
          pedigree_(LoadAncestry(root, generations, parents)) {
        if (!pedigree_.has_loop) {
            reach_.Build(pedigree_, generations);
        }
    }

    InbreedingAnalysis Analyse(int generations) {
        if (pedigree_.Count() == 0) {
            return {};
        }
        return Analyse(0, generations, true);
    }

    double Coefficient(qint32 dog, int generations) {
        if (generations <= 0) {
            return 0;
        }
        IndexLocals();
        const quint64 key = (static_cast<quint64>(static_cast<quint32>(dog)) << 8) |
                            static_cast<quint64>(generations);
        const auto found = memo_.find(key);
        if (found != memo_.end()) {
            return found->second;
        }
        double f = 0;
        const auto local = local_of_.find(dog);
        if (local != local_of_.end()) {
            // A dog's coefficient depends only on its sire and dam: full siblings share one.
            const auto ul = static_cast<std::size_t>(local->second);
            if (!pedigree_.has_loop &&
                (pedigree_.sire[ul] == kNone || pedigree_.dam[ul] == kNone)) {
                return 0;  // no two lines to meet
            }
            const quint64 pair = SharedKey(pedigree_.sire[ul], pedigree_.dam[ul], generations);
            const auto shared = by_parents_.find(pair);
            if (shared != by_parents_.end()) {
                f = shared->second;
            } else if (const std::optional<double> known =
                           Known(pedigree_.sire[ul], pedigree_.dam[ul], generations)) {
                f = *known;
                by_parents_.emplace(pair, f);
            } else {
                f = Analyse(local->second, generations, false).coefficient;
                by_parents_.emplace(pair, f);
                Remember(pedigree_.sire[ul], pedigree_.dam[ul], generations, f);
            }
        } else {
            f = Literal(dog, generations).coefficient;
        }
        memo_.emplace(key, f);
        return f;
    }

private:
    InbreedingAnalysis Literal(qint32 dog, int generations) {
        return ComputeInbreedingLiterally(dog, generations, parents_, [this](qint32 a, int depth) {
            return Coefficient(a, depth);
        });
    }

    void IndexLocals() {
        if (!local_of_.empty() || pedigree_.has_loop) {
            return;
        }
        for (int z = 0; z < pedigree_.Count(); ++z) {
            local_of_.emplace(pedigree_.dog_id[static_cast<std::size_t>(z)], z);
        }
    }

    InbreedingAnalysis Analyse(int x, int depth, bool full) {
        IndexLocals();
        const auto ux = static_cast<std::size_t>(x);
        const int s = pedigree_.sire[ux];
        const int d = pedigree_.dam[ux];
        if (pedigree_.has_loop || (s != kNone && s == d)) {
            return Literal(pedigree_.dog_id[ux], depth);
        }
        InbreedingAnalysis result;
        ++main_.stamp_;
        main_.tallies_.clear();
        main_.CountLevels(x, depth, result);
        if (s != kNone && d != kNone) {
            if (full && SharesWork()) {
                SweepWithJobsBehind(s, d, depth);
            } else {
                main_.Sweep(s, d, depth);
            }
        }
        // The sub-analyses below reuse the scratch tables.
        std::vector<Tally> tallies = std::move(main_.tallies_);
        main_.tallies_.clear();
        if (full) {
            for (const Tally& t : tallies) {
                if (t.paths != 0) {
                    Request(t.local, depth - t.min_generation);
                }
            }
            RunJobs(main_);
        }

        std::vector<int> order(tallies.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = static_cast<int>(i);
        }
        if (!full) {
            std::erase_if(order, [&tallies](int i) {
                return tallies[static_cast<std::size_t>(i)].paths == 0;
            });
        }
        std::sort(order.begin(), order.end(), [&tallies](int a, int b) {
            return tallies[static_cast<std::size_t>(a)].first_key <
                   tallies[static_cast<std::size_t>(b)].first_key;
        });
        double f = 0;
        for (const int i : order) {
            Tally& t = tallies[static_cast<std::size_t>(i)];
            double contribution = 0;
            if (t.paths != 0) {
                contribution = std::ldexp(static_cast<double>(t.paths), -(2 * depth - 1));
                const int remaining = depth - t.min_generation;
                const double f_a = Coefficient(t.entry.dog_id, remaining);
                contribution = contribution * (1 + f_a);
            }
            t.entry.contribution = contribution;
            f += contribution;
        }
        result.coefficient = f;
        if (full && s != kNone && d != kNone) {
            Remember(s, d, depth, f);  // the full sum adds only zeros besides a sub-analysis's
        }
        if (full) {
            result.ancestors.reserve(order.size());
            for (const int i : order) {
                result.ancestors.push_back(tallies[static_cast<std::size_t>(i)].entry);
            }
        }
        return result;
    }

    // The sub-analyses of one run are planned before any is summed. A dog's coefficient
    // depends only on its sire and dam, and every request for a pair comes from the analysis
    // of a pair whose younger parent is younger still, so taking pairs youngest first
    // gathers every depth asked of a pair before its one sweep. The sweep records each
    // meeting under the larger of its two generations and so serves every depth at once;
    // the sums then run oldest first, each over its ancestors in its own order of first
    // appearance, exactly as a sub-analysis of that depth alone would add them.
    struct Job {
        int child = kNone;  // a dog with these parents: its chart stands for every full sibling's
        int sire = kNone;
        int dam = kNone;
        quint32 depths = 0;  // bit d: the coefficient over d generations is asked for
        bool swept = false;
        std::array<std::vector<PlanEntry>, kMaxAnalysisGenerations + 1> plans;
    };

    static quint64 PairKey(int sire, int dam) {
        return (static_cast<quint64>(static_cast<quint32>(sire + 1)) << 32) |
               static_cast<quint32>(dam + 1);
    }

    quint64 SharedKey(int sire, int dam, int generations) const {
        return (static_cast<quint64>(static_cast<quint32>(sire + 1)) << 36) |
               (static_cast<quint64>(static_cast<quint32>(dam + 1)) << 8) |
               static_cast<quint64>(generations);
    }

    void Request(int z, int generations) {
        if (generations <= 0) {
            return;
        }
        const auto uz = static_cast<std::size_t>(z);
        const int s = pedigree_.sire[uz];
        const int d = pedigree_.dam[uz];
        // Without two parents the coefficient is 0; a dog whose sire is its dam takes the
        // literal walk when it is asked for.
        if (s == kNone || d == kNone || s == d ||
            by_parents_.contains(SharedKey(s, d, generations))) {
            return;
        }
        if (const std::optional<double> known = Known(s, d, generations)) {
            by_parents_.emplace(SharedKey(s, d, generations), *known);
            return;
        }
        const auto [found, added] =
            job_of_.try_emplace(PairKey(s, d), static_cast<int>(jobs_.size()));
        if (added) {
            Job job;
            job.child = z;
            job.sire = s;
            job.dam = d;
            jobs_.push_back(std::move(job));
            const int younger = std::max(pedigree_.topo[static_cast<std::size_t>(s)],
                                         pedigree_.topo[static_cast<std::size_t>(d)]);
            job_queue_.push({younger, found->second});
        }
        Job& job = jobs_[static_cast<std::size_t>(found->second)];
        if (!job.swept) {  // (never swept already: its requests come from younger pairs only)
            job.depths |= quint32{1} << generations;
        }
    }

    // Sweeps the planned sub-analyses, youngest pair first, then sums them oldest first. Behind
    // a first sweep still going on another thread, a pair waits until that sweep has passed
    // its younger parent, so that every request for it has come.
    void RunJobs(Sweeper& w, SweepFrontier* behind = nullptr) {
        std::vector<int> swept;
        while (true) {
            bool finished = true;
            int reached = -1;
            if (behind != nullptr) {
                // Read before the requests are taken: whatever they cover has been released.
                finished = behind->Finished();
                reached = behind->Reached();
                for (const auto& [local, generations] : behind->TakeReleased()) {
                    Request(local, generations);
                }
            }
            if (!job_queue_.empty()) {
                const auto [younger, j] = job_queue_.top();
                if (finished || reached <= younger + 1) {
                    job_queue_.pop();
                    SweepJob(w, j);
                    swept.push_back(j);
                    continue;
                }
                behind->WaitUntil(younger + 1);
            } else if (finished) {
                break;
            } else {
                behind->WaitUntil(-1);
            }
        }
        for (auto it = swept.rbegin(); it != swept.rend(); ++it) {
            SumJob(*it);
        }
        jobs_.clear();
        job_of_.clear();
    }

    bool SharesWork() const {
        switch (second_thread_) {
            case SecondThread::kNever:
                return false;
            case SecondThread::kAlways:
                return true;
            case SecondThread::kForLargeAncestries:
                return pedigree_.Count() >= kLargeAncestry &&
                       std::thread::hardware_concurrency() >= 2;
        }
        return false;
    }

    // The analysed dog's sweep on a second thread, its sub-analyses planned and swept on this
    // one as the ancestors they are for come out of it: the same requests as one after the
    // other, swept in the same order, so the same figures.
    void SweepWithJobsBehind(int s, int d, int depth) {
        if (!second_) {
            second_ = std::make_unique<Sweeper>(pedigree_, reach_);
        }
        SweepFrontier frontier;
        std::exception_ptr failed;
        std::thread first([&] {
            try {
                main_.SweepReleasing(s, d, depth, frontier);
            } catch (...) {
                failed = std::current_exception();
                frontier.Finish({});
            }
        });
        struct Join {
            std::thread& t;
            ~Join() {
                if (t.joinable()) {
                    t.join();
                }
            }
        } join{first};
        RunJobs(*second_, &frontier);
        first.join();
        if (failed) {
            std::rethrow_exception(failed);
        }
    }

    void SweepJob(Sweeper& w, int j) {
        const int child = jobs_[static_cast<std::size_t>(j)].child;
        const quint32 depths = jobs_[static_cast<std::size_t>(j)].depths;
        jobs_[static_cast<std::size_t>(j)].swept = true;
        const int depth = std::bit_width(depths) - 1;
        ++w.stamp_;
        w.tallies_.clear();
        w.nodes_.clear();
        w.record_nodes_ = true;
        InbreedingAnalysis unused;
        w.CountLevels(child, depth, unused);
        w.record_nodes_ = false;
        w.Sweep(jobs_[static_cast<std::size_t>(j)].sire, jobs_[static_cast<std::size_t>(j)].dam,
                depth);

        std::vector<int> meeting;  // tallies with lines meeting at some level
        for (std::size_t i = 0; i < w.tallies_.size(); ++i) {
            if (w.tallies_[i].paths != 0) {
                meeting.push_back(static_cast<int>(i));
            }
        }
        std::vector<quint64> first(w.tallies_.size(), ~quint64{0});
        std::vector<int> nearest(w.tallies_.size(), 0);
        std::vector<quint64> sum(w.tallies_.size(), 0);
        std::vector<int> order;
        std::size_t node = 0;
        for (int d = 1; d <= depth; ++d) {
            for (; node < w.nodes_.size() && static_cast<int>(w.nodes_[node].second & 31) == d;
                 ++node) {
                const auto i = static_cast<std::size_t>(w.nodes_[node].first);
                if (first[i] == ~quint64{0}) {
                    nearest[i] = d;
                }
                first[i] = std::min(first[i], w.nodes_[node].second);
            }
            for (const int i : meeting) {
                sum[static_cast<std::size_t>(i)] += w.tallies_[static_cast<std::size_t>(i)]
                                                        .level_paths[static_cast<std::size_t>(d)];
            }
            if ((depths & (quint32{1} << d)) == 0) {
                continue;
            }
            order.clear();
            for (const int i : meeting) {
                if (sum[static_cast<std::size_t>(i)] != 0) {
                    order.push_back(i);
                }
            }
            // Keys at the sweep's depth order places as keys at depth d would.
            std::sort(order.begin(), order.end(), [&first](int a, int b) {
                return first[static_cast<std::size_t>(a)] < first[static_cast<std::size_t>(b)];
            });
            std::vector<PlanEntry>& plan =
                jobs_[static_cast<std::size_t>(j)].plans[static_cast<std::size_t>(d)];
            plan.reserve(order.size());
            for (const int i : order) {
                const auto ui = static_cast<std::size_t>(i);
                plan.push_back({w.tallies_[ui].local, d - nearest[ui],
                                std::ldexp(static_cast<double>(sum[ui]), -(2 * depth - 1))});
            }
        }
        for (int d = 1; d <= depth; ++d) {
            for (const PlanEntry& e :
                 jobs_[static_cast<std::size_t>(j)].plans[static_cast<std::size_t>(d)]) {
                Request(e.local, e.remaining);
            }
        }
    }

    void SumJob(int j) {
        Job& job = jobs_[static_cast<std::size_t>(j)];
        for (int d = 1; d <= kMaxAnalysisGenerations; ++d) {
            if ((job.depths & (quint32{1} << d)) == 0) {
                continue;
            }
            double f = 0;
            for (const PlanEntry& e : job.plans[static_cast<std::size_t>(d)]) {
                const double f_a =
                    Coefficient(pedigree_.dog_id[static_cast<std::size_t>(e.local)], e.remaining);
                double contribution = e.paths;
                contribution = contribution * (1 + f_a);
                f += contribution;
            }
            by_parents_.emplace(SharedKey(job.sire, job.dam, d), f);
            Remember(job.sire, job.dam, d, f);
            job.plans[static_cast<std::size_t>(d)] = {};
        }
    }

    // The run's shared coefficients, by the parents' local numbers.
    std::optional<double> Known(int sire, int dam, int generations) const {
        if (cache_ == nullptr) {
            return std::nullopt;
        }
        return cache_->Find(pedigree_.dog_id[static_cast<std::size_t>(sire)],
                            pedigree_.dog_id[static_cast<std::size_t>(dam)], generations);
    }

    void Remember(int sire, int dam, int generations, double f) {
        if (cache_ != nullptr) {
            cache_->Store(pedigree_.dog_id[static_cast<std::size_t>(sire)],
                          pedigree_.dog_id[static_cast<std::size_t>(dam)], generations, f);
        }
    }

    const ParentLookup& parents_;
    CoefficientCache* cache_ = nullptr;
    SecondThread second_thread_ = SecondThread::kNever;
    LocalPedigree pedigree_;
    ReachTable reach_;
    Sweeper main_{pedigree_, reach_};
    std::unique_ptr<Sweeper> second_;  // the sub-analyses' while the first sweep goes on
    std::unordered_map<qint32, int> local_of_;
    std::unordered_map<quint64, double> memo_;
    std::unordered_map<quint64, double> by_parents_;  // local sire + 1, local dam + 1, depth
    std::vector<Job> jobs_;
    std::unordered_map<quint64, int> job_of_;             // PairKey
    std::priority_queue<std::pair<int, int>> job_queue_;  // younger parent's number, job
};

}  // namespace

InbreedingAnalysis ComputeInbreeding(qint32 dog, int generations, const ParentLookup& parents,
                                     CoefficientCache* cache, SecondThread second) {
    Engine engine(dog, generations, parents, cache, second);
    return engine.Analyse(generations);
}

std::optional<double> CoefficientCache::Find(qint32 sire, qint32 dam, int generations) const {
    const std::lock_guard lock(mutex_);
    const auto found = known_.find({sire, dam, generations});
    if (found == known_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void CoefficientCache::Store(qint32 sire, qint32 dam, int generations, double coefficient) {
    const std::lock_guard lock(mutex_);
    known_.emplace(Key{sire, dam, generations}, coefficient);
}

std::size_t CoefficientCache::KeyHash::operator()(const Key& k) const noexcept {
    const quint64 packed =
        (static_cast<quint64>(static_cast<quint32>(k.sire)) << 32) | static_cast<quint32>(k.dam);
    return static_cast<std::size_t>(
        (packed ^ static_cast<quint64>(k.generations) * 0x9E3779B97F4A7C15ull) *
        0xBF58476D1CE4E5B9ull);
}

}  // namespace lineara
