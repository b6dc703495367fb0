// Entry point of every test program: a QApplication on the offscreen platform,
// the programs' log in a folder of the run's own, then GoogleTest.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the code under test logs stays out of the developer's own log.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZARV"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
