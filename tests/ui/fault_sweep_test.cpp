// The fault sweep: the real window drives an operation (start-up, learning, deleting, clearing,
// the link monitor's watch over a remote unplugged and back) against the in-process simulated
// remote while one device call after the other is refused (the k-th call of the operation, for
// every k up to the calls a clean run makes), while one write after the other lands but is not
// confirmed (its reply lost or saying failed, or coming after the program gave up), and the
// remote is looked at as it was after each single write of a clean run (the program stopped
// there). After every run the program has not crashed, the user was told whenever the operation
// did not do what a clean run does (and a write that landed unconfirmed does what a clean run
// does), the remote passes the memory check, and the window's tables are what a fresh read of
// the remote gives.
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "device/device_text.h"
#include "device/startup_reading.h"
#include "learning/code_table.h"
#include "learning/key_slots.h"
#include "sim/remote_image_check.h"
#include "tests/support/fired_codes.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/ui/test_window_services.h"
#include "tests/ui/window_test.h"
#include "ui/texts.h"

namespace {

using namespace std::chrono_literals;
using namespace window_test;

const QString kConverterDir = QStringLiteral(KEYLEARN_CONVERTER_DIR);

// Answers every box as a user who wants the operation done (Yes, OK) but gives up waiting for
// a remote (Cancel), and remembers every text.
class AnsweringPrompter final : public Prompter {
  public:
    QStringList shown;
    // What the user does while a Retry/Cancel box is open, and the answer; Cancel without it.
    std::function<bool()> onRetryCancel;
    void Information(const QString& text, const QString&) override { shown << text; }
    bool Question(const QString& text, const QString&) override {
        shown << text;
        return true;
    }
    bool RetryCancel(const QString& text, const QString&) override {
        shown << text;
        return onRetryCancel ? onRetryCancel() : false;
    }
    bool OkCancel(const QString& text, const QString&) override {
        shown << text;
        return true;
    }
    void PlainMessage(const QString& text) override { shown << text; }
};

// The key slots as start-up would read them back: the key and its state, and for a code held
// through the code table the entry (a key that names its code directly shows the id only once
// learning has written it, and a slot marked not learned is written shorter).
std::vector<std::string> ComparableSlots(const std::vector<KeySlot>& keySlots) {
    std::vector<std::string> comparable = SlotTexts(keySlots);
    for (std::string& text : comparable)
        if (text.size() < 7 || text[5] != '1')
            text.resize(std::min<std::size_t>(text.size(), 4));
    return comparable;
}

// What goes wrong in one run.
struct Fault {
    enum class Kind { kNone, kRefusedCall, kUnconfirmedWrite };
    Kind kind = Kind::kNone;
    int k = 0;  // the call or write it strikes, counted from the operation's start
    UnconfirmedWriteEntryPoints::Reply reply = UnconfirmedWriteEntryPoints::Reply::kAnsweredFailed;
};

// One run: a fresh remote and window, the operation driven through the window.
class SweepRun {
  public:
    explicit SweepRun(Fault fault, bool armBeforeStartup)
        : sim(RemoteImageBuilder::DefaultRemote().Build()),
          simulated(sim),
          unconfirmed(simulated),
          refusing(unconfirmed) {
        sim.SetCollectWait(0ms);
        if (armBeforeStartup)
            Arm(fault);
        WindowServices windowServices = services.Services();
        windowServices.session.converterFolder = kConverterDir;
        windowServices.session.captureTiming.limit = 300ms;
        window = std::make_unique<MainWindow>(library, prompter, windowServices);
        if (!armBeforeStartup)
            Arm(fault);
    }
    ~SweepRun() { window.reset(); }

    void Arm(const Fault& fault) {
        refusing.Arm(fault.kind == Fault::Kind::kRefusedCall ? fault.k : 0);
        unconfirmed.Arm(fault.kind == Fault::Kind::kUnconfirmedWrite ? fault.k : 0, fault.reply);
    }

    // Learns a capture into a key with the learn button and a click, and waits for the end.
    void Learn(const QString& key, const std::string& capture) {
        QTest::mouseClick(window->learnButton, Qt::LeftButton);
        QTest::mouseClick(window->KeyButton(key), Qt::LeftButton);
        // Fired once the remote listens; a capture mode that was refused ends the attempt first.
        if (QTest::qWaitFor([&] { return sim.InCaptureMode() || AttemptEnded(); }, 10000))
            sim.QueueCapture(capture);
        if (!QTest::qWaitFor([&] { return AttemptEnded(); }, 10000))
            ADD_FAILURE() << "the attempt never ended";
        QCoreApplication::processEvents();
    }

    bool AttemptEnded() const {
        return !window->Session().CaptureRunning() && !window->Session().PendingKey();
    }

    // Shows the window, so that the link monitor runs; the remote is unplugged once the link
    // was shown, and plugged back while the box asks for it, which is answered with Retry.
    void LoseTheLinkAndComeBack() {
        window->show();
        const bool watched =
            QTest::qWaitFor([&] { return window->linkStateLabel->text() == texts::kLinkUp; }, 5000);
        if (!watched)
            return;
        prompter.onRetryCancel = [this] {
            sim.Plug();
            return true;
        };
        sim.Unplug();
        // Seen as lost, then as back: the key box hides and shows again.
        if (QTest::qWaitFor([&] { return window->remoteBox->isHidden(); }, 5000))
            static_cast<void>(QTest::qWaitFor([&] { return LinkIsUp(); }, 5000));
    }

    bool LinkIsUp() const {
        return !window->Session().Closing() && window->linkStateLabel->text() == texts::kLinkUp &&
               !window->remoteBox->isHidden() && window->learnButton->isEnabled();
    }

    bool KeyLearned(KeyCode key) const {
        return window->Session().KeyIsLearned(key) &&
               !prompter.shown.contains(QStringLiteral("学习失败！"));
    }

    // The tables a fresh start-up reads from the remote now.
    RemoteMap RemoteTables() {
        SimulatedRemote copy(sim.Image());
        SimulatedDevice entryPoints(copy);
        DeviceLibrary device(entryPoints);
        return ReadRemoteAtStartup(device).map;
    }

    SimulatedRemote sim;
    SimulatedDevice simulated;
    UnconfirmedWriteEntryPoints unconfirmed;
    RefusingEntryPoints refusing;
    DeviceLibrary library{refusing};
    AnsweringPrompter prompter;
    TestWindowServices services;
    std::unique_ptr<MainWindow> window;
};

struct Operation {
    const char* name;
    bool startup;                                    // the sweep covers the start-up itself
    std::function<void(SweepRun&)> drive;            // what the user does after start-up
    std::function<bool(SweepRun&)> didWhatItShould;  // as a clean run does
};

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"start-up", true, [](SweepRun&) {},
         [](SweepRun& run) { return !run.window->StartupFailed(); }},
        {"learning a direct code", false,
         [](SweepRun& run) {
             run.Learn(QStringLiteral("01"), fired_codes::ProtocolCapture({"NEC1", "D=4", "F=8"}));
         },
         [](SweepRun& run) { return run.KeyLearned(0x01); }},
        {"learning a table code", false,
         [](SweepRun& run) { run.Learn(QStringLiteral("01"), fired_codes::RawCapture()); },
         [](SweepRun& run) { return run.KeyLearned(0x01); }},
        {"re-learning a key held in the table", false,
         [](SweepRun& run) { run.Learn(QStringLiteral("30"), fired_codes::RawCapture()); },
         [](SweepRun& run) { return run.KeyLearned(0x30); }},
        {"deleting a learned key", false,
         [](SweepRun& run) {
             QTest::mouseClick(run.window->deleteButton, Qt::LeftButton);
             QTest::mouseClick(run.window->KeyButton(QStringLiteral("30")), Qt::LeftButton);
         },
         [](SweepRun& run) { return !::KeyIsLearned(run.window->Map().keySlots, 0x30); }},
        {"the link lost and back", false, [](SweepRun& run) { run.LoseTheLinkAndComeBack(); },
         [](SweepRun& run) { return run.LinkIsUp(); }},
        {"clearing every learned key", false,
         [](SweepRun& run) { QTest::mouseClick(run.window->clearButton, Qt::LeftButton); },
         [](SweepRun& run) { return !::AnyKeyLearned(run.window->Map().keySlots); }},
    };
    return operations;
}

// What every run must leave behind, whatever was refused.
void ExpectSound(SweepRun& run, const Operation& operation) {
    const RemoteMemoryCheck check = CheckRemoteMemory(run.sim.Image());
    EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
    if (!operation.didWhatItShould(run)) {
        EXPECT_FALSE(run.prompter.shown.isEmpty()) << "the operation failed without a word";
    }
    // A start-up whose reads were refused may open the window knowing no key (the user is
    // told); what the window does know must be what the remote holds.
    if (!run.window->StartupFailed() && !run.window->Map().keySlots.empty()) {
        const RemoteMap fresh = run.RemoteTables();
        const std::string told = run.prompter.shown.join(QStringLiteral(" / ")).toStdString();
        EXPECT_EQ(ComparableSlots(run.window->Map().keySlots), ComparableSlots(fresh.keySlots))
            << "the window's slots are not what the remote holds; told: " << told;
        EXPECT_EQ(HexBytesText(CodeTableRegionBytes(run.window->Map())),
                  HexBytesText(CodeTableRegionBytes(fresh)))
            << "the window's code table is not what the remote holds; told: " << told;
    }
}

// The texts that tell the user an operation failed.
bool ToldOfAFailure(const SweepRun& run) {
    for (const QString& text : {texts::kLearningFailed, texts::kDeleteFailed,
                                texts::kClearIncomplete, texts::kRemoteMemoryUnreadable}) {
        if (run.prompter.shown.contains(text))
            return true;
    }
    return false;
}

TEST(FaultSweep, EveryRefusedCallUnconfirmedWriteAndCutWriteLeavesTheRemoteSoundAndTheUserTold) {
    using Reply = UnconfirmedWriteEntryPoints::Reply;
    int runs = 0, refusedCalls = 0, unconfirmedWrites = 0, cutWrites = 0;
    for (const Operation& operation : Operations()) {
        SCOPED_TRACE(operation.name);
        // The clean run: how many calls the operation makes, and the remote after each write.
        std::vector<RemoteImage> afterEachWrite;
        int calls = 0;
        {
            SweepRun clean(Fault{}, operation.startup);
            clean.sim.SetWriteObserver([&](const RemoteImage& image) {
                afterEachWrite.push_back(image);
                return true;
            });
            operation.drive(clean);
            calls = clean.refusing.Calls();
            ASSERT_TRUE(operation.didWhatItShould(clean));
            ExpectSound(clean, operation);
            ++runs;
        }
        std::printf("%s: %d calls, %zu writes\n", operation.name, calls, afterEachWrite.size());
        for (std::size_t k = 0; k < afterEachWrite.size(); ++k) {
            SCOPED_TRACE("stopped after write " + std::to_string(k + 1));
            const RemoteMemoryCheck check = CheckRemoteMemory(afterEachWrite[k]);
            EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
            ++cutWrites;
        }
        for (int k = 1; k <= calls; ++k) {
            SCOPED_TRACE("call " + std::to_string(k) + " refused");
            SweepRun run(Fault{Fault::Kind::kRefusedCall, k}, operation.startup);
            operation.drive(run);
            ExpectSound(run, operation);
            ++runs;
            ++refusedCalls;
        }
        // A write that landed is as good as a confirmed one, once it is read back: the
        // operation does what a clean run does, and the user hears of no failure.
        for (int k = 1; k <= static_cast<int>(afterEachWrite.size()); ++k) {
            for (const Reply reply : {Reply::kAnsweredFailed, Reply::kLate}) {
                SCOPED_TRACE("write " + std::to_string(k) +
                             (reply == Reply::kLate ? " landed late" : " answered failed"));
                SweepRun run(Fault{Fault::Kind::kUnconfirmedWrite, k, reply}, operation.startup);
                operation.drive(run);
                EXPECT_TRUE(run.unconfirmed.Struck());
                ExpectSound(run, operation);
                EXPECT_TRUE(operation.didWhatItShould(run));
                EXPECT_FALSE(ToldOfAFailure(run))
                    << run.prompter.shown.join(QStringLiteral(" / ")).toStdString();
                EXPECT_EQ(run.sim.Image().banks, afterEachWrite.back().banks)
                    << "the remote is not what a clean run leaves";
                ++runs;
                ++unconfirmedWrites;
            }
        }
    }
    std::printf("fault sweep: %d runs, %d calls refused, %d writes unconfirmed, %d writes cut\n",
                runs, refusedCalls, unconfirmedWrites, cutWrites);
}

}  // namespace
