#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need an application object; the model tests run without using it.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
