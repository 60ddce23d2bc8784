#include "qtenvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// One QApplication for every test of the program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_controls_inputs";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
        m_app = new QApplication(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

namespace testing_support {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    return true;
}

QImage saveImage(const QImage& image, const QString& name)
{
    const QString dir = QStringLiteral(SONAVEIL_GRAB_DIR);
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    // Small controls are easier to judge four times as large, pixel for pixel.
    image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(dir + QLatin1Char('/') + name + QStringLiteral("_x4.png"));
    return image;
}

QImage saveGrab(QWidget* widget, const QString& name)
{
    return saveImage(widget->grab().toImage(), name);
}

} // namespace testing_support
