#include "tempfolder.h"
#include "testexit.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The widget tests need an application object; the model tests run without using it. The
// display's error log goes to the user's temporary folder: point that at a folder of our own.
int main(int argc, char** argv)
{
    TempFolder temp;
    setenv("TMPDIR", temp.path().c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
