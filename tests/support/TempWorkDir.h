#pragma once

#include <QDir>
#include <QFile>
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

    // Writes `bytes` to the file `name` in the folder (a path works too) and returns its path.
    QString Write(const QString& name, const QByteArray& bytes = {}) const {
        const QString path = File(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
        return path;
    }

    // The bytes of the file `name` (or a path); a file that cannot be read fails the test.
    QByteArray Read(const QString& name) const {
        QFile file(File(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        return file.readAll();
    }

private:
    QString previous_;
    QTemporaryDir dir_;
};

}  // namespace lineara::test
