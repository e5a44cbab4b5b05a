#pragma once

#include "app/Prompts.h"

#include <QString>

#include <functional>

namespace lineara {

class DogDatabase;

// Analysis > Lineara Information for the dog at the root of the chart: asks first, counts
// under the wait cursor, then shows the figures or, when a line loops, the warning and the
// repeating line with the offer to show the dog through which the loop enters. `make_root`
// is called with that dog when the user accepts.
void ShowLinearaInformation(DogDatabase& database, Prompts& prompts, qint32 root, const QString& root_name,
                            const std::function<void(qint32)>& make_root);

}  // namespace lineara
