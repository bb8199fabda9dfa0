// The hidden replay button puts the saved diagnostic capture through the normaliser again and
// leaves the file as it was, so a replay that fails once more keeps the capture it was asked
// to show.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>

#include "device/device_library.h"
#include "learning/diagnostic_capture.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "ui/main_window.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ReplayButton, ReplaysTheSavedCaptureWithoutTouchingTheFile) {
    SimulatedRemote sim(RemoteImageBuilder::DefaultRemote().Build());
    SimulatedDevice entryPoints(sim);
    DeviceLibrary device(entryPoints);
    ScriptedPrompter prompter;
    MainWindow window(device, prompter);
    ASSERT_FALSE(window.StartupFailed());
    EXPECT_FALSE(window.replayCaptureButton->isVisible());

    const QString path = DiagnosticCapturePath();
    for (const char* saved : {"0000", "8708" /* no end marker either */, ""}) {
        ASSERT_TRUE(SaveDiagnosticCapture(saved, path));
        const QByteArray before = ReadAll(path);
        window.replayCaptureButton->click();
        EXPECT_EQ(ReadAll(path), before) << saved;
    }
    QFile::remove(path);
    window.replayCaptureButton->click();  // a missing file replays as an empty line
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
