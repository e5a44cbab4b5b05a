#pragma once

#include <QString>

#include <stdexcept>

namespace lineara {

// A database problem the user can read: which file, and what went wrong with it.
class StoreError : public std::runtime_error {
public:
    StoreError(const QString& file, const QString& reason)
        : std::runtime_error(reason.toStdString()), file_(file), reason_(reason) {}

    const QString& File() const { return file_; }
    const QString& Reason() const { return reason_; }

private:
    QString file_;
    QString reason_;
};

}  // namespace lineara
