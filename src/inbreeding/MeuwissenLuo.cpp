#include "inbreeding/MeuwissenLuo.h"

#include <QtGlobal>

#include <cmath>
#include <algorithm>
#include <unordered_map>

namespace lineara {

std::vector<double> MeuwissenLuoCoefficients(const std::vector<int>& sire, const std::vector<int>& dam,
                                             const std::function<bool(std::size_t)>& keep_going,
                                             const std::vector<double>* known_before) {
    constexpr int kUnknown = -1;
    const std::size_t n = sire.size();
    std::vector<double> f(n, 0.0);
    std::vector<double> d(n, 1.0);
    std::vector<double> share(n, 0.0);
    std::vector<char> queued(n, 0);
    // Each dog's longest line back to a dog without known parents: a parent's is always
    // smaller than its child's, so taking the queued dogs by height, highest first, passes
    // every share on only once it is whole (a queue of buckets rather than a heap).
    std::vector<int> height(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        for (const int parent : {sire[i], dam[i]}) {
            if (parent != kUnknown) {
                height[i] = std::max(height[i], height[static_cast<std::size_t>(parent)] + 1);
            }
        }
    }
    std::vector<std::vector<int>> by_height;
    std::unordered_map<quint64, double> of_litter;  // a litter's coefficient, by its parents
    for (std::size_t i = 0; i < n; ++i) {
        if ((i & 1023) == 0 && keep_going && !keep_going(i)) {
            return {};
        }
        const int s = sire[i];
        const int m = dam[i];
        if (known_before && !std::isnan((*known_before)[i])) {
            f[i] = (*known_before)[i];
        }
        if (s != kUnknown && m != kUnknown) {
            if (known_before && !std::isnan((*known_before)[i])) {
                d[i] = 0.5 - 0.25 * (f[static_cast<std::size_t>(s)] + f[static_cast<std::size_t>(m)]);
                continue;
            }
            const quint64 key = (static_cast<quint64>(static_cast<quint32>(s)) << 32) | static_cast<quint32>(m);
            const auto known = of_litter.find(key);
            if (known != of_litter.end()) {
                f[i] = known->second;
            } else {
                // The shares are passed from child to parents, youngest first, so each is
                // whole before it is used.
                double a = 0;
                share[i] = 1;
                const auto top = static_cast<std::size_t>(height[i]);
                if (by_height.size() <= top) {
                    by_height.resize(top + 1);
                }
                by_height[top].push_back(static_cast<int>(i));
                queued[i] = 1;
                for (std::size_t level = top + 1; level-- > 0;) {
                    std::vector<int>& bucket = by_height[level];
                    for (std::size_t k = 0; k < bucket.size(); ++k) {
                        const auto j = static_cast<std::size_t>(bucket[k]);
                        queued[j] = 0;
                        const double l = share[j];
                        share[j] = 0;
                        a += l * l *
                             (j == i ? 0.5 - 0.25 * (f[static_cast<std::size_t>(s)] + f[static_cast<std::size_t>(m)])
                                     : d[j]);
                        for (const int parent : {sire[j], dam[j]}) {
                            if (parent == kUnknown) {
                                continue;
                            }
                            const auto p = static_cast<std::size_t>(parent);
                            share[p] += 0.5 * l;
                            if (!queued[p]) {
                                queued[p] = 1;
                                by_height[static_cast<std::size_t>(height[p])].push_back(parent);
                            }
                        }
                    }
                    bucket.clear();
                }
                f[i] = a - 1;
                of_litter.emplace(key, f[i]);
            }
            d[i] = 0.5 - 0.25 * (f[static_cast<std::size_t>(s)] + f[static_cast<std::size_t>(m)]);
        } else if (s != kUnknown || m != kUnknown) {
            d[i] = 0.75 - 0.25 * f[static_cast<std::size_t>(s != kUnknown ? s : m)];
        }
    }
    return f;
}

}  // namespace lineara
