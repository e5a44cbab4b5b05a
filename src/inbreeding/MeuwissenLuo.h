#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace lineara {

// The coefficient over every known ancestor of each dog of a pedigree numbered parents first
// (sire[i] and dam[i] are below i, or -1 for none), by Meuwissen and Luo's method: a dog's a_ii
// is the sum over its ancestors j (itself included) of L_ij^2 D_j, where L_ij is the share of
// j in i's genes and D_j the Mendelian sampling variance of j, which depends only on the
// coefficients of j's parents, already known. Full siblings get the very same double, so a
// litter is worked out once.
class MeuwissenLuo {
public:
    MeuwissenLuo(std::vector<int> sire, std::vector<int> dam);

    // Works out every dog's coefficient. `keep_going(i)` is asked before every 1024th dog;
    // when it says no, the work stops and the result is false. `known`, when given, holds
    // coefficients worked out before (NaN where not): those dogs take them as they are.
    bool Run(const std::function<bool(std::size_t)>& keep_going = {}, const std::vector<double>* known = nullptr);
    const std::vector<double>& Coefficients() const { return f_; }
    std::vector<double> TakeCoefficients() { return std::move(f_); }

    // After Run: the kinship of two dogs of the pedigree, the coefficient a puppy of theirs
    // would have, by the same pass as a real puppy's.
    double Kinship(int x, int y);

private:
    // a_ii of a dog with parents s and m (both known) and Mendelian sampling variance own_d.
    double SelfRelationship(int s, int m, double own_d);

    std::vector<int> sire_, dam_;
    // Each dog's longest line back to a dog without known parents: a parent's is always
    // smaller than its child's, so taking the queued dogs by height, highest first, passes
    // every share on only once it is whole (a queue of buckets rather than a heap).
    std::vector<int> height_;
    std::vector<double> f_, d_, share_;
    std::vector<char> queued_;
    std::vector<std::vector<int>> by_height_;
};

// The coefficients of MeuwissenLuo::Run, or nothing when cancelled.
std::vector<double> MeuwissenLuoCoefficients(const std::vector<int>& sire, const std::vector<int>& dam,
                                             const std::function<bool(std::size_t)>& keep_going = {},
                                             const std::vector<double>* known = nullptr);

}  // namespace lineara
