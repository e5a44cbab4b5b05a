#pragma once

#include "app/Prompts.h"
#include "store/FailAfter.h"

#include <QtGlobal>

namespace lineara {

class DogDatabase;

// What clearing the stored coefficients of inbreeding found and did.
struct ClearCoefficientsResult {
    qint64 dogs = 0;     // dogs in the database
    qint64 cleared = 0;  // coefficients that held a value and are now Null
};

// Sets IC to Null on every dog where it holds a value, all in one transaction: a failure
// part-way (the seam fails at the k-th cleared record) leaves every coefficient as it was.
ClearCoefficientsResult ClearAllInbreedingCoefficients(DogDatabase& database,
                                                       FailAfter fail_after = {});

// Analysis > Clear All Inbreeding Coefficients: asks, clears and tells the user. When no
// dog has a coefficient (or there are no dogs) the user is told so instead, without being
// asked. True when coefficients were cleared and the chart should be filled again.
// `working` is called with true before the work and false after it (the hourglass pointer).
bool RunClearAllInbreedingCoefficients(DogDatabase& database, Prompts& prompts,
                                       FailAfter fail_after = {}, void (*working)(bool) = nullptr);

}  // namespace lineara
