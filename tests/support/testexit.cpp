#include "testexit.h"

#include <gtest/gtest.h>

#include <cstdio>

int testProgramResult(int result)
{
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    if (result != 0 || run.skipped_test_count() == 0)
        return result;
    std::fprintf(stderr, "%d of %d tests skipped:\n", run.skipped_test_count(), run.total_test_count());
    for (int s = 0; s < run.total_test_suite_count(); ++s) {
        const ::testing::TestSuite& suite = *run.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(t);
            if (test.result()->Skipped())
                std::fprintf(stderr, "  %s.%s\n", suite.name(), test.name());
        }
    }
    std::fflush(stderr);
    return kSkippedExitStatus;
}
