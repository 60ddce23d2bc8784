#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The SQL driver is a plug-in, found through the application.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
