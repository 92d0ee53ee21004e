// GoogleTest entry point of the tool tests: an application object, so that the tests find the
// programs beside their own executable and can paint their input bitmaps.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
