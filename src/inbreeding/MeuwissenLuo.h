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
// litter is worked out once. `keep_going(i)` is asked before every 1024th dog; when it says
// no, the work stops and the result is empty. `known`, when given, holds coefficients worked
// out before (NaN where not): those dogs take them as they are.
std::vector<double> MeuwissenLuoCoefficients(const std::vector<int>& sire, const std::vector<int>& dam,
                                             const std::function<bool(std::size_t)>& keep_going = {},
                                             const std::vector<double>* known = nullptr);

}  // namespace lineara
