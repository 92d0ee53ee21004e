#pragma once

// Runs a tintweave program of the build tree as a process, in a home of its own (see
// child_program.h), and collects what it says.

#include "child_program.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// status: the exit status, or -1 when it did not end within 4 minutes, -2 when a signal ended it.
using ToolRun = test_support::ProgramRun;

// build/tests/tools/tools_tests -> build/tools/NAME
inline QString toolPath(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools/") + name;
}

inline ToolRun runProgram(const QString& name, const QStringList& arguments,
                          const QByteArray& input = QByteArray())
{
    test_support::ProgramOptions options;
    options.input = input;
    options.timeoutMs = 240000;
    return test_support::runProgram(toolPath(name), arguments, options);
}

// Two crossing opaque curves with different colours on their sides: the <curve> elements, as
// every file written before layers holds them, and a whole 512 x 512 drawing of them.
inline const char kCrossingCurves[] =
    "<curve><control_points_set><control_point x=\"60\" y=\"60\"/><control_point x=\"200\" "
    "y=\"180\"/><control_point x=\"320\" y=\"300\"/><control_point x=\"450\" y=\"440\"/>"
    "</control_points_set><left_colors_set><left_color B=\"30\" G=\"200\" R=\"220\" "
    "globalID=\"0\"/></left_colors_set><right_colors_set><right_color B=\"200\" G=\"60\" "
    "R=\"20\" globalID=\"0\"/></right_colors_set></curve>"
    "<curve><control_points_set><control_point x=\"450\" y=\"80\"/><control_point x=\"300\" "
    "y=\"220\"/><control_point x=\"200\" y=\"330\"/><control_point x=\"70\" y=\"430\"/>"
    "</control_points_set><left_colors_set><left_color B=\"240\" G=\"240\" R=\"240\" "
    "globalID=\"0\"/></left_colors_set><right_colors_set><right_color B=\"40\" G=\"20\" "
    "R=\"90\" globalID=\"0\"/></right_colors_set></curve>";

inline QByteArray crossingCurvesDrawing()
{
    return QByteArray("<curve_set image_width=\"512\" image_height=\"512\">") + kCrossingCurves
           + "</curve_set>";
}
