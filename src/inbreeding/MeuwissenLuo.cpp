#include "inbreeding/MeuwissenLuo.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace lineara {

namespace {
constexpr int kUnknown = -1;
}

MeuwissenLuo::MeuwissenLuo(std::vector<int> sire, std::vector<int> dam)
    : sire_(std::move(sire)), dam_(std::move(dam)) {
    const std::size_t n = sire_.size();
    f_.assign(n, 0.0);
    d_.assign(n, 1.0);
    share_.assign(n, 0.0);
    queued_.assign(n, 0);
    height_.assign(n, 0);
    int highest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (const int parent : {sire_[i], dam_[i]}) {
            if (parent != kUnknown) {
                height_[i] = std::max(height_[i], height_[static_cast<std::size_t>(parent)] + 1);
            }
        }
        highest = std::max(highest, height_[i]);
    }
    by_height_.resize(static_cast<std::size_t>(highest) + 1);
}

double MeuwissenLuo::SelfRelationship(int s, int m, double own_d) {
    // The shares are passed from child to parents, youngest first, so each is whole before
    // it is used. The dog's own share is 1.
    double a = own_d;
    std::size_t top = 0;
    for (const int parent : {s, m}) {
        const auto p = static_cast<std::size_t>(parent);
        share_[p] += 0.5;
        if (!queued_[p]) {
            queued_[p] = 1;
            by_height_[static_cast<std::size_t>(height_[p])].push_back(parent);
        }
        top = std::max(top, static_cast<std::size_t>(height_[p]));
    }
    for (std::size_t level = top + 1; level-- > 0;) {
        std::vector<int>& bucket = by_height_[level];
        for (std::size_t k = 0; k < bucket.size(); ++k) {
            const auto j = static_cast<std::size_t>(bucket[k]);
            queued_[j] = 0;
            const double l = share_[j];
            share_[j] = 0;
            a += l * l * d_[j];
            for (const int parent : {sire_[j], dam_[j]}) {
                if (parent == kUnknown) {
                    continue;
                }
                const auto p = static_cast<std::size_t>(parent);
                share_[p] += 0.5 * l;
                if (!queued_[p]) {
                    queued_[p] = 1;
                    by_height_[static_cast<std::size_t>(height_[p])].push_back(parent);
                }
            }
        }
        bucket.clear();
    }
    return a;
}

bool MeuwissenLuo::Run(const std::function<bool(std::size_t)>& keep_going, const std::vector<double>* known) {
    const std::size_t n = sire_.size();
    std::unordered_map<quint64, double> of_litter;  // a litter's coefficient, by its parents
    for (std::size_t i = 0; i < n; ++i) {
        if ((i & 1023) == 0 && keep_going && !keep_going(i)) {
            return false;
        }
        const int s = sire_[i];
        const int m = dam_[i];
        const bool given = known && !std::isnan((*known)[i]);
        if (given) {
            f_[i] = (*known)[i];
        }
        if (s != kUnknown && m != kUnknown) {
            const double own_d =
                0.5 - 0.25 * (f_[static_cast<std::size_t>(s)] + f_[static_cast<std::size_t>(m)]);
            if (!given) {
                const quint64 key =
                    (static_cast<quint64>(static_cast<quint32>(s)) << 32) | static_cast<quint32>(m);
                const auto litter = of_litter.find(key);
                if (litter != of_litter.end()) {
                    f_[i] = litter->second;
                } else {
                    f_[i] = SelfRelationship(s, m, own_d) - 1;
                    of_litter.emplace(key, f_[i]);
                }
            }
            d_[i] = own_d;
        } else if (s != kUnknown || m != kUnknown) {
            d_[i] = 0.75 - 0.25 * f_[static_cast<std::size_t>(s != kUnknown ? s : m)];
        }
    }
    return true;
}

double MeuwissenLuo::Kinship(int x, int y) {
    return SelfRelationship(x, y, 0.5 - 0.25 * (f_[static_cast<std::size_t>(x)] + f_[static_cast<std::size_t>(y)])) -
           1;
}

std::vector<double> MeuwissenLuoCoefficients(const std::vector<int>& sire, const std::vector<int>& dam,
                                             const std::function<bool(std::size_t)>& keep_going,
                                             const std::vector<double>* known) {
    MeuwissenLuo pass(sire, dam);
    if (!pass.Run(keep_going, known)) {
        return {};
    }
    return pass.TakeCoefficients();
}

}  // namespace lineara
