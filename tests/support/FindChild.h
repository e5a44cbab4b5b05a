#pragma once

#include <QObject>

#include <gtest/gtest.h>

namespace lineara::test {

// A window's control by its object name; a missing one fails the test (and yields null).
template <typename T>
T* FindChild(const QObject& window, const char* name) {
    T* child = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

}  // namespace lineara::test
