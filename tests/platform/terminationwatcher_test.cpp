#include "platform/terminationwatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using sonaveil::platform::TerminationWatcher;

TEST(TerminationWatcher, EverySignalArrivesOnTheEventLoopWithItsNumber)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    std::vector<int> received;
    {
        TerminationWatcher watcher;
        ASSERT_TRUE(watcher.installed());
        QObject::connect(&watcher, &TerminationWatcher::terminationRequested,
                         [&received](int number) { received.push_back(number); });
        ::raise(SIGTERM);
        ::raise(SIGINT);
        ::raise(SIGHUP);
        EXPECT_TRUE(received.empty()); // nothing runs inside the handler
        QElapsedTimer clock;
        clock.start();
        while (received.size() < 3 && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));

    // A second watcher (the pipe is kept) works as the first did.
    TerminationWatcher again;
    received.clear();
    QObject::connect(&again, &TerminationWatcher::terminationRequested,
                     [&received](int number) { received.push_back(number); });
    ::raise(SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (received.empty() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
}
