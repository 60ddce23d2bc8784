#include "capturefixture.h"
#include "testexit.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ToneServer);
    QCoreApplication app(argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
