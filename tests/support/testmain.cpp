#include "testexit.h"

#include <gtest/gtest.h>

// The main of the test programs that need nothing before their tests run.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
