#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lineara::test {

// A fresh, empty working folder for one test; the process works inside it until the test
// ends (the settings file and the old data file live in the working folder).
class TempWorkDir {
public:
    TempWorkDir() : previous_(QDir::currentPath()) {
        EXPECT_TRUE(dir_.isValid());
        QDir::setCurrent(dir_.path());
    }
    ~TempWorkDir() { QDir::setCurrent(previous_); }

    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return QDir(dir_.path()).filePath(name); }

private:
    QString previous_;
    QTemporaryDir dir_;
};

}  // namespace lineara::test
