#include "testexit.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests on the offscreen platform; the tests that hear the controls' announcements listen
// to them directly.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
