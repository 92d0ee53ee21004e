#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <memory>

#include "interface.h"

// Records the panel's mode and display-flag signals, in the order they arrive, as short lines
// such as "mode 3", "splines true", "attrib false", "cleft true", "cright false".
class SignalLog {
public:
    explicit SignalLog(Interface& panel)
    {
        auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
        QObject::connect(&panel, &Interface::manipModeChanged, &context_,
                         [this](PanelTool m) { lines << QString("mode %1").arg(int(m)); });
        QObject::connect(&panel, &Interface::showSplinesChanged, &context_,
                         [this, flag](bool on) { lines << "splines " + flag(on); });
        QObject::connect(&panel, &Interface::showAttribChanged, &context_,
                         [this, flag](bool on) { lines << "attrib " + flag(on); });
        QObject::connect(&panel, &Interface::activateCLeftChanged, &context_,
                         [this, flag](bool on) { lines << "cleft " + flag(on); });
        QObject::connect(&panel, &Interface::activateCRightChanged, &context_,
                         [this, flag](bool on) { lines << "cright " + flag(on); });
    }
    QStringList lines;

private:
    QObject context_;
};

// A shown control panel, started from the repository root (where the program expects icons/),
// whose colour dialog is answered by the test: every request is recorded in `seeds` and answered
// with `answer` (an invalid colour means the user cancelled).
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(QStringLiteral(TINTWEAVE_SOURCE_DIR));
        panel = std::make_unique<Interface>();
        panel->setColorChooser([this](const QColor& initial) {
            seeds << initial;
            return answer;
        });
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }
    void TearDown() override
    {
        panel.reset();
        QDir::setCurrent(previousDir_);
    }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::unique_ptr<Interface> panel;
    QList<QColor> seeds;
    QColor answer; // invalid: cancel

private:
    QString previousDir_;
};

// The colour shown in the middle of a swatch button's icon of the given pixel size.
inline QColor swatchColor(const QAbstractButton* button, QSize size)
{
    const QImage image = button->icon().pixmap(size).toImage();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}
