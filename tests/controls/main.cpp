#include "testexit.h"

#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
