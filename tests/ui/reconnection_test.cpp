// The remote changed while it was away (on another computer, or another image put into the
// simulator): when the same remote comes back the window reads its tables again before anything
// is changed, and every key shows what the remote holds now.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QTest>
#include <memory>

#include "device/device_library.h"
#include "device/startup_reading.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "sim/simulated_remote.h"
#include "tests/support/fired_codes.h"
#include "tests/support/hooked_prompter.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "tests/ui/test_window_services.h"
#include "tests/ui/window_test.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

namespace {

using namespace std::chrono_literals;
namespace d = default_remote;
constexpr int kWaitMs = 10000;

// The default remote as another computer left it: key 30's learned code taken off (its entry 2
// free again), key 01 given a learned code in entry 1, units 5-6, which the window never saw.
RemoteImage ChangedElsewhere() {
    return RemoteImageBuilder::DefaultRemote()
        .KeyEntry(d::kSlotOfKey30, {})
        .RawCodeEntry(d::kLearnedCodeEntry, {0, 0, 0, 0, 0, 0})
        .KeyEntry(d::kSlotOfKey01, {0xC0, 0x00, 0x80, 0x01, 0xFF, 0xFF})
        .CodeEntry(1, "C0FFEE", 5, 2)
        .Build();
}

std::vector<std::string> SlotsOf(const RemoteImage& image) {
    SimulatedRemote copy(image);
    SimulatedDevice entryPoints(copy);
    DeviceLibrary device(entryPoints);
    return SlotTexts(ReadRemoteAtStartup(device).map.keySlots);
}

TEST(Reconnection, ARemoteChangedWhileAwayIsReadAgainAndEveryKeyShowsIt) {
    SimulatedRemote remote{DefaultRemoteImage()};
    SimulatedDevice entryPoints{remote};
    DeviceLibrary library{entryPoints};
    ScriptedPrompter script;
    HookedPrompter prompter{script};
    TestWindowServices services;
    WindowServices windowServices = services.Services();
    windowServices.pictures = window_test::TestPictures();
    windowServices.session.converterFolder = QStringLiteral(KEYLEARN_CONVERTER_DIR);
    windowServices.session.captureTiming.limit = 10s;
    MainWindow window(library, prompter, windowServices);
    ASSERT_FALSE(window.StartupFailed());
    window.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.linkStateLabel->text() == texts::kLinkUp; }, kWaitMs));
    ASSERT_EQ(window_test::KeyPictureShown(window.KeyButton("30")), window_test::Learned(0x30));

    // Away, changed, and back: the user answers Retry once the remote is plugged in again.
    script.ExpectRetryCancel(texts::kReconnectRemote, true);
    prompter.SetHook([&](const QString&) {
        remote.ReplaceImage(ChangedElsewhere());
        remote.Plug();
    });
    remote.Unplug();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return script.Shown().size() == 1 && !window.remoteBox->isHidden(); }, kWaitMs));
    script.VerifyAllShown();

    EXPECT_TRUE(window.Session().TablesCurrent());
    EXPECT_EQ(SlotTexts(window.Map().keySlots), SlotsOf(remote.Image()));
    EXPECT_EQ(window_test::KeyPictureShown(window.KeyButton("01")), window_test::Learned(0x01));
    EXPECT_EQ(window_test::KeyPictureShown(window.KeyButton("30")), window_test::NotLearned(0x30));
    EXPECT_TRUE(window.KeyButton("30")->HasEnabledLook());
    EXPECT_FALSE(window.KeyButton("01")->HasEnabledLook());
    EXPECT_TRUE(window.tipsSomeLearned->isVisible());

    // A code learned now goes to an entry of its own, never to the one key 01 holds; key 30
    // holds no code, so nothing asks whether to learn it again.
    QTest::mouseClick(window.learnButton, Qt::LeftButton);
    QTest::mouseClick(window.KeyButton("30"), Qt::LeftButton);
    ASSERT_TRUE(window_test::FireWhenListening(remote, fired_codes::RawCapture()));
    script.ExpectInformation(texts::kCodeReceived);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window.Session().CaptureRunning() && !window.Session().PendingKey(); },
        kWaitMs));
    script.VerifyAllShown();
    const RemoteMemoryCheck check = CheckRemoteMemory(remote.Image());
    EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
    EXPECT_TRUE(check.warnings.empty()) << ::testing::PrintToString(check.warnings);
    const std::vector<std::string> slotTexts = SlotsOf(remote.Image());
    EXPECT_EQ(slotTexts[d::kSlotOfKey01], "01|2|1|01FFFF");
    EXPECT_NE(slotTexts[d::kSlotOfKey30], "30|2|1|01FFFF");
    QTest::mouseClick(window.learnButton, Qt::LeftButton);
    window.close();
}

}  // namespace
