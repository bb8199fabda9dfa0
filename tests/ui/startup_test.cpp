// Start-up as the window runs it: the real MainWindow constructor against an in-process
// simulated remote, with every prompt scripted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <functional>

#include "device/remote_tables.h"
#include "sim/remote_image_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/ui/startup_device.h"
#include "tests/ui/test_window_services.h"
#include "ui/main_window.h"
#include "ui/texts.h"

namespace {

namespace d = default_remote;

using Kind = ScriptedPrompter::Kind;

struct ExpectedPrompt {
    Kind kind;
    QString text;
    bool answer = true;
};

struct StartupCase {
    const char* name;
    RemoteImageBuilder remote;
    std::vector<ExpectedPrompt> prompts;
    bool failed = false;
    std::function<void(StartupDevice&)> prepare = {};
};

void Script(ScriptedPrompter& prompter, const std::vector<ExpectedPrompt>& prompts) {
    for (const ExpectedPrompt& p : prompts) {
        switch (p.kind) {
            case Kind::kInformation:
                prompter.ExpectInformation(p.text);
                break;
            case Kind::kRetryCancel:
                prompter.ExpectRetryCancel(p.text, p.answer);
                break;
            case Kind::kPlainMessage:
                prompter.ExpectPlainMessage(p.text);
                break;
            default:
                FAIL() << "start-up asks no other kind";
        }
    }
}

RemoteImageBuilder Default() {
    return RemoteImageBuilder::DefaultRemote();
}

const ExpectedPrompt kWait{Kind::kRetryCancel, texts::kNoRemote, true};
const ExpectedPrompt kGiveUp{Kind::kRetryCancel, texts::kNoRemote, false};
const ExpectedPrompt kNoAnswer{Kind::kInformation, texts::kNoRemote};
// Memory that does not make sense ends start-up with its own words, not those of a missing
// remote.
const ExpectedPrompt kUnreadable{Kind::kInformation, texts::kRemoteMemoryUnreadable};

// The outcome of every remote, and the prompts on the way, in order.
TEST(Startup, TableOfRemotes) {
    StartupCase cases[] = {
        {"default remote", Default(), {}, false},
        {"remote plugged in after one retry",
         Default(),
         {kWait},
         false,
         [](StartupDevice& device) { device.linkFailures = 1; }},
        {"retry, then cancel",
         Default(),
         {kWait, kGiveUp},
         true,
         [](StartupDevice& device) { device.linkFailures = 5; }},
        {"version not answered",
         Default(),
         {{Kind::kPlainMessage, texts::kUnsupportedRemote}},
         true,
         [](StartupDevice& device) { device.remote.FailCall(DeviceCall::kReadVersion); }},
        {"version 1021",
         Default().Version("1021"),
         {{Kind::kPlainMessage, texts::kUnsupportedRemote}},
         true},
        {"version 102",
         Default().Version("102"),
         {{Kind::kPlainMessage, texts::kUnsupportedRemote}},
         true},
        {"version 1020 with anything behind", Default().Version("1020zz"), {}, false},
        {"model 8888 before any version byte",
         Default().Model("8888").Interface(0, 9),
         {{Kind::kPlainMessage, texts::kFirmwareTooOld}},
         true},
        {"model 7732",
         Default().Model("7732"),
         {{Kind::kPlainMessage, texts::kUnsupportedRemote}},
         true},
        {"model 0000",
         Default().Model("0000").Interface(0, 0),
         {{Kind::kPlainMessage, texts::kUnsupportedRemote}},
         true},
        {"major 2",
         Default().Interface(2, 2),
         {{Kind::kPlainMessage, texts::kSoftwareTooOld}},
         true},
        {"major 0",
         Default().Interface(0, 3),
         {{Kind::kPlainMessage, texts::kFirmwareProgramTooOld}},
         true},
        {"minor 4",
         Default().Interface(1, 4),
         {{Kind::kPlainMessage, texts::kSoftwareTooOld}},
         true},
        {"minor 2",
         Default().Interface(1, 2),
         {{Kind::kPlainMessage, texts::kFirmwareVersionTooOld}},
         true},
        {"info block read fails",
         Default(),
         {kNoAnswer},
         false,
         [](StartupDevice& device) { device.remote.FailReadsAt(0xB000); }},
        {"config block read fails",
         Default(),
         {kNoAnswer},
         false,
         [](StartupDevice& device) { device.remote.FailReadsAt(0xB03C); }},
        // Memory this program cannot work with ends start-up as a failure.
        {"directory read fails",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) { device.remote.FailReadsAt(d::kDirectoryAddress); }},
        {"key code list read fails",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) { device.remote.FailReadsAt(d::kDirectoryAddress + 32); }},
        {"key table read fails",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) { device.remote.FailReadsAt(d::kKeyTableAddress); }},
        {"code table read fails",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) { device.remote.FailReadsAt(d::kCodeTableAddress); }},
        {"built-in list read fails",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) { device.remote.FailReadsAt(d::kBuiltinListAddress); }},
        {"more key entries than key codes",
         Default().KeyEntryCount(d::kKeyCount + 1),
         {kUnreadable},
         true},
        {"code table past its read", Default().CodeAreaUnits(0x2000), {kUnreadable}, true},
        {"160 built-in codes", Default().BuiltinCount(160), {kUnreadable}, true},
        {"key table translated past FFFF",
         Default()
             .Directory(0xF000)
             .Place(RemoteTable::kBuiltinList, d::kBuiltinListAddress, PointerForm::kBiased)
             .StoredPointer(RemoteTable::kKeyTable, 0x3000),
         {kUnreadable},
         true},
        {"code area ends past FFFF",
         Default().CodeAreaUnits(0x1000).StoredPointer(RemoteTable::kCodeArea, 0x3FF0),
         {kUnreadable},
         true},
        {"non-hex byte in the directory",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == d::kDirectoryAddress)
                     buffer[15] = 'G';  // inside the code table count
             };
         }},
        {"non-hex key entry status",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == d::kKeyTableAddress)
                     buffer[44 * 3] = 'x';
             };
         }},
        {"non-hex memory bank",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == 0xB03C)
                     buffer[2 * 8 + 1] = 'g';
             };
         }},
        {"zero inside the key code list",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == d::kDirectoryAddress + 32)
                     buffer[2 * 3] = '\0';
             };
         }},
        {"non-hex code-area bitmap",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == d::kCodeTableAddress)
                     buffer[1] = ' ';
             };
         }},
        // Any character of a read that is not hex makes the read unusable, even in bytes that
        // start-up does not look at.
        {"non-hex identity",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == 0xB000)
                     buffer[5] = 'Z';
             };
         }},
        {"non-hex interface version",
         Default(),
         {kUnreadable},
         true,
         [](StartupDevice& device) {
             device.alterRead = [](int address, char* buffer) {
                 if (address == 0xB000)
                     buffer[2 * 33] = '?';  // minor
             };
         }},
    };
    for (StartupCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartupDevice device(c.remote.Build());
        if (c.prepare)
            c.prepare(device);
        ScriptedPrompter prompter;
        Script(prompter, c.prompts);
        MainWindow window(device.library, prompter);
        prompter.VerifyAllShown();
        EXPECT_EQ(window.StartupFailed(), c.failed);
    }
}

TEST(Startup, DefaultRemoteFillsTheMapAndTheLabels) {
    StartupDevice device(DefaultRemoteImage());
    ScriptedPrompter prompter;
    MainWindow window(device.library, prompter);
    const RemoteMap& map = window.Map();

    // The title is the window's own: as the application's display name, the window system
    // would append it to every box's caption.
    EXPECT_EQ(window.windowTitle(), QStringLiteral("雁湖智联遥控器"));
    EXPECT_NE(QApplication::applicationDisplayName(), QStringLiteral("雁湖智联遥控器"));
    EXPECT_EQ(window.firmwareLabel->text(), QStringLiteral(" 2.0"));
    EXPECT_EQ(window.remoteTypeLabel->text(), QStringLiteral("雁湖智联遥控器"));
    EXPECT_EQ(map.remoteIdText, d::kIdentityText);
    EXPECT_EQ(map.directoryAddress, d::kDirectoryAddress);
    EXPECT_EQ(map.pointerBias, d::kPointerBias);
    EXPECT_EQ(map.memoryBank, MemoryBank{0x08});
    EXPECT_EQ(map.keyEntryCount, d::kKeyCount);
    EXPECT_EQ(map.codeTableCount, d::kCodeTableCount);
    EXPECT_EQ(map.codeAreaUnits, d::kCodeAreaUnits);
    EXPECT_EQ(map.keyTableAddress, d::kKeyTableAddress);
    EXPECT_EQ(map.builtinListAddress, d::kBuiltinListAddress);
    EXPECT_EQ(map.codeTableAddress, d::kCodeTableAddress);
    EXPECT_EQ(map.codeAreaAddress, d::kCodeAreaAddress);

    ASSERT_EQ(map.keySlots.size(), static_cast<std::size_t>(d::kKeyCount));
    EXPECT_EQ(SlotText(map.keySlots[d::kSlotOfKey00]), "00|1|0|");
    EXPECT_EQ(SlotText(map.keySlots[d::kSlotOfKey01]), "01|0|0|");
    EXPECT_EQ(SlotText(map.keySlots[d::kSlotOfKey30]), "30|2|1|02FFFF");
    EXPECT_EQ(SlotText(map.keySlots[d::kSlotOfKey33]), "33|1|1|000010");
    EXPECT_EQ(SlotText(map.keySlots.back()), "A7|0|0|");

    // 31 bitmap bytes: 248 characters, 5 of them padding.
    ASSERT_EQ(map.codeAreaBitmap.BitText().size(), 248u);
    EXPECT_EQ(map.codeAreaBitmap.BitText().substr(0, 16), "1111100011111000");
    const std::string codeTable = CodeTableText(map.codeTable);
    EXPECT_EQ(codeTable.size(), 12u * d::kCodeTableCount);
    EXPECT_EQ(codeTable.substr(0, 12), "A01234008003");
    EXPECT_EQ(codeTable.substr(12, 12), "000000000000");
    std::vector<std::string> builtinIds;
    for (const CodeId& id : map.builtinCodeIds)
        builtinIds.push_back(CodeIdText(id));
    EXPECT_EQ(builtinIds, d::kBuiltinIds);

    // The diagnostic copy: the whole code table read, 16 units of hex.
    EXPECT_EQ(window.codeTableLog->toPlainText().size(), 16 * 16);
    EXPECT_TRUE(window.codeTableLog->toPlainText().startsWith(QStringLiteral("F8F8")));
    EXPECT_FALSE(window.codeTableLog->isVisibleTo(&window));
}

TEST(Startup, ReadsEachBlockWithItsUnitsAddressAndBank) {
    StartupDevice device(DefaultRemoteImage());
    ScriptedPrompter prompter;
    MainWindow window(device.library, prompter);
    const std::vector<RecordedRead> expected = {
        {6, "B0", "00", "08"},    // info block
        {2, "B0", "3C", "08"},    // config block
        {5, "80", "00", "08"},    // directory
        {50, "80", "20", "08"},   // key code list
        {122, "81", "00", "08"},  // 44 key entries: 44 x 44 / 16 + 1
        {16, "86", "00", "08"},   // (6 x 16 + 31) / 8 + 1
        {120, "85", "00", "08"},  // built-in list
    };
    EXPECT_EQ(device.reads, expected);
}

TEST(Startup, KeyTableEdgeCases) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        std::vector<std::string> keySlots;
        int keyTableUnits;
    } cases[] = {
        {"status E0 holds no code",
         RemoteImageBuilder()
             .Keys({0x00, 0x01})
             .KeyEntry(0, {0xE0, 0, 0x80, 0x05})
             .KeyEntry(1, {0xC0, 0, 0x00, 0x12, 0x34, 0x56}),
         {"00|0|0|", "01|2|0|"},
         6},
        {"more key codes than key entries",
         RemoteImageBuilder().Keys({0x00, 0x01, 0x30}).KeyEntryCount(1).KeyEntry(0, {0x80}),
         {"00|1|0|", "01|", "30|"},
         3},
        {"no key entries still reads one unit",
         RemoteImageBuilder().Keys({0x00, 0x33}).KeyEntryCount(0),
         {"00|", "33|"},
         1},
        {"key table at address 0: pointer equal to the bias",
         RemoteImageBuilder()
             .Keys({0x33})
             .StoredPointer(RemoteTable::kKeyTable, d::kPointerBias)
             .Bytes(0, {0x80, 0x00, 0x80, 0x07, 0xAB, 0xCD}),
         {"33|1|1|07ABCD"},
         3},
        {"pointer one below the bias",
         RemoteImageBuilder()
             .Keys({0x33})
             .StoredPointer(RemoteTable::kKeyTable, d::kPointerBias - 1)
             .Bytes(d::kPointerBias - 1 + d::kDirectoryAddress, {0xC0}),
         {"33|2|0|"},
         3},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupDevice device(c.remote.Build());
        ScriptedPrompter prompter;
        MainWindow window(device.library, prompter);
        EXPECT_FALSE(window.StartupFailed());
        EXPECT_EQ(SlotTexts(window.Map().keySlots), c.keySlots);
        ASSERT_GE(device.reads.size(), 5u);
        EXPECT_EQ(device.reads[4].units, c.keyTableUnits);
        const int keyTable = c.remote.TableAddress(RemoteTable::kKeyTable);
        EXPECT_EQ(window.Map().keyTableAddress, keyTable);
    }
}

TEST(Startup, BitmapKeepsThePaddingBitsOfItsLastByte) {
    const RemoteImage image =
        RemoteImageBuilder().CodeAreaUnits(10).CodeTableCount(1).BitmapBytes({0xFF, 0xC3}).Build();
    StartupDevice device(image);
    ScriptedPrompter prompter;
    MainWindow window(device.library, prompter);
    EXPECT_EQ(window.Map().codeAreaBitmap.BitText(), "1111111111000011");
    EXPECT_EQ(CodeTableText(window.Map().codeTable), "000000000000");
}

TEST(Startup, FailedReadsOfInfoAndConfigLeaveWhatWasFilled) {
    {
        StartupDevice device(DefaultRemoteImage());
        device.remote.FailReadsAt(0xB000);
        ScriptedPrompter prompter;
        prompter.ExpectInformation(texts::kNoRemote);
        MainWindow window(device.library, prompter);
        EXPECT_TRUE(window.Map().remoteIdText.empty());
        EXPECT_TRUE(window.Map().keySlots.empty());
        EXPECT_TRUE(window.firmwareLabel->text().isEmpty());
    }
    {
        StartupDevice device(DefaultRemoteImage());
        device.remote.FailReadsAt(0xB03C);
        ScriptedPrompter prompter;
        prompter.ExpectInformation(texts::kNoRemote);
        MainWindow window(device.library, prompter);
        EXPECT_EQ(window.Map().remoteIdText, d::kIdentityText);
        EXPECT_TRUE(window.Map().keySlots.empty());
        EXPECT_EQ(window.firmwareLabel->text(), QStringLiteral(" 2.0"));
        EXPECT_EQ(window.remoteTypeLabel->text(), QStringLiteral("雁湖智联遥控器"));
    }
}

TEST(Startup, WindowClosesWhenFirstShownAfterAFailedStart) {
    for (const bool fails : {true, false}) {
        SCOPED_TRACE(fails ? "failed start" : "good start");
        StartupDevice device(RemoteImageBuilder().Model(fails ? "8888" : "7731").Build());
        ScriptedPrompter prompter;
        if (fails)
            prompter.ExpectPlainMessage(texts::kFirmwareTooOld);
        TestWindowServices services;
        MainWindow window(device.library, prompter, services.Services());
        window.show();
        EXPECT_TRUE(window.isVisible());
        QApplication::processEvents();
        EXPECT_EQ(window.isVisible(), !fails);
        window.close();
    }
}

}  // namespace
