#pragma once

#include "testexit.h"

#include <QApplication>

#include <gtest/gtest.h>

// The body of main() for a test program that needs an application object: the offscreen platform
// unless told otherwise, and `environment` (given to GoogleTest, which deletes it) around the
// tests; a run that skipped tests reports itself as skipped (testexit.h).
inline int runWithApplication(int argc, char** argv, ::testing::Environment* environment = nullptr)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    if (environment)
        ::testing::AddGlobalTestEnvironment(environment);
    QApplication app(argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
