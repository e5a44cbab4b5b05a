#pragma once

#include <QString>

namespace lineara {

// Spaces removed from both ends, and only spaces: the old program's trimming, which leaves
// tabs and other white space alone.
inline QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

}  // namespace lineara
