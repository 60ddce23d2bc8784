// Records from the default device into the file named by its argument until it is killed.
#include "recorder/capture/capturecontrol.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    sonaveil::recorder::CaptureControl capture;
    QObject::connect(&capture, &sonaveil::recorder::CaptureControl::ErrorOccurred,
                     [](int n, const QString& text) { std::fprintf(stderr, "(%d) %s\n", n, qPrintable(text)); });
    capture.setFileName(QString::fromLocal8Bit(argv[1]));
    capture.StartMonitoring();
    if (!capture.StartRecording(0))
        return 1;
    std::printf("recording\n");
    std::fflush(stdout);
    return app.exec();
}
