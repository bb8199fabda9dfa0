// GoogleTest main for every test program. Window tests need a QApplication; it runs on the
// offscreen platform so that tests need no display, also at discovery time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#ifdef KEYLEARN_TEST_WITH_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Whatever the user's locale, the tests and the programs they start run in the plain C
    // locale, in which keylearn speaks its own Chinese; a test of another language sets it
    // itself.
    setenv("LC_ALL", "C.UTF-8", 1);
    unsetenv("LANGUAGE");
    // A private runtime folder keeps Qt quiet and keeps the tests' sockets and files apart
    // from a user's running simulated remote.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    // The programs the tests start keep their picture caches here, not in the user's.
    QTemporaryDir cache;
    setenv("XDG_CACHE_HOME", cache.path().toLocal8Bit().constData(), 1);
    QStandardPaths::setTestModeEnabled(true);
#ifdef KEYLEARN_TEST_WITH_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
