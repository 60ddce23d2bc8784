#pragma once

// The exit status CTest reads as "skipped" (SKIP_RETURN_CODE of every test program).
inline constexpr int kSkippedExitStatus = 77;

// What a test program returns for RUN_ALL_TESTS()'s `result`: a failure stays a failure; a run
// that passed but skipped tests says so (the skipped tests' names on standard error) and returns
// kSkippedExitStatus, so that CTest shows the program as skipped instead of passed.
int testProgramResult(int result);
