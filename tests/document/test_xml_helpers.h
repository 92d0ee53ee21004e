#pragma once

#include "curve_set.h"
#include "curve_set_xml.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace doc_test {

// A scratch directory per test with helpers to write and read files in it.
class XmlFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QString write(const QString& name, const QByteArray& content) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    static QByteArray read(const QString& filePath)
    {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }

    // Loads with stdout and stderr captured; returns the result.
    bool loadCaptured(CurveSet& set, const QString& filePath)
    {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const bool ok = loadXml(set, filePath);
        out_ = ::testing::internal::GetCapturedStdout();
        err_ = ::testing::internal::GetCapturedStderr();
        return ok;
    }

    std::string out_;
    std::string err_;

private:
    QTemporaryDir dir_;
};

} // namespace doc_test
