// Releasing a key's code against the in-process simulated remote: after every case the test
// looks at what the remote holds, whether the window's copy of the code table still matches it,
// and whether the remote's code table is still consistent.
#include <gtest/gtest.h>

#include <QString>
#include <cctype>
#include <string>
#include <vector>

#include "code_table.h"
#include "release_key_entry.h"
#include "remote_image_builder.h"
#include "remote_image_check.h"
#include "remote_map.h"
#include "scripted_prompter.h"
#include "simulated_device.h"
#include "simulated_remote.h"
#include "slot_text.h"
#include "startup_handshake.h"

namespace {

namespace d = default_remote;
using Bytes = RemoteImageBuilder::ByteList;

const QString kFailed = QStringLiteral("删除操作失败！");
constexpr int kBank = 0x08;

class NoWindow final : public StartupView {
  public:
    void SetApplicationTitle(const QString&) override {}
    void ResetWindowState() override {}
    void ProcessPendingEvents() override {}
    void SetFirmwareVersionLabel(const QString&) override {}
    void SetRemoteTypeLabel(const QString&) override {}
    void SetDiagnosticText(const QString&) override {}
};

// A device library that answers every read in lower-case hex, as a library that "parses either
// case" may also answer.
class LowerCaseReads final : public DeviceLibrary {
  public:
    explicit LowerCaseReads(DeviceLibrary& device) : device_(device) {}

    bool link_state() override { return device_.link_state(); }
    bool ReadVersion(char* buffer) override { return device_.ReadVersion(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        const bool ok = device_.readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank);
        for (int i = 0; ok && i < 16 * unitCount; ++i)
            buffer[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(buffer[i])));
        return ok;
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        return device_.writedatav20(memoryBank, addressHigh, addressLow, hexData);
    }
    bool SetCodeCarrierWave() override { return device_.SetCodeCarrierWave(); }
    bool RCollectCodeInfo(char* buffer) override { return device_.RCollectCodeInfo(buffer); }
    bool RBasicInfo(char* buffer) override { return device_.RBasicInfo(buffer); }
    bool WCodeTypeData(const char* hexData) override { return device_.WCodeTypeData(hexData); }

  private:
    DeviceLibrary& device_;
};

// A remote as start-up found it: the simulated remote, the device over it and the map that
// start-up read, with the call log cleared so that only the release's calls are seen.
class Remote {
  public:
    explicit Remote(const RemoteImageBuilder& builder)
        : builder_(builder), remote_(builder.Build()), device_(remote_) {
        ScriptedPrompter quiet;
        NoWindow window;
        StartupResult startup = RunStartupHandshake(device_, quiet, window);
        EXPECT_EQ(startup.outcome, StartupOutcome::kReady);
        map = std::move(startup.map);
        remote_.ClearCallLog();
    }

    bool Release(int slot, const std::string& keyCode, Prompter& prompter) {
        return ReleaseKeyEntry(map, device_, prompter, slot, keyCode);
    }
    bool ReleaseReadingLowerCase(int slot, const std::string& keyCode, Prompter& prompter) {
        LowerCaseReads lowerCase(device_);
        return ReleaseKeyEntry(map, lowerCase, prompter, slot, keyCode);
    }

    SimulatedRemote& Sim() { return remote_; }
    std::vector<RemoteWrite> Writes() const { return remote_.Writes(); }
    int WriteCalls() const { return remote_.CallCount(DeviceCall::kWriteData); }
    int KeyEntryAddress(int slot) const { return builder_.KeyEntryAddress(slot); }
    std::string KeyEntryHex(int slot) const {
        return remote_.MemoryHex(kBank, KeyEntryAddress(slot), kKeyEntryBytes);
    }
    // The region at the code table: the bitmap bytes and every entry.
    std::string RegionHex() const {
        const int bytes = (map.codeAreaUnits + 7) / 8 + 6 * map.codeTableCount;
        return remote_.MemoryHex(kBank, map.codeTableAddress, bytes);
    }
    RemoteWrite StatusWrite(int slot) const { return {"08", KeyEntryAddress(slot), "00"}; }
    RemoteWrite RegionWrite() const { return {"08", map.codeTableAddress, RegionHex()}; }

    // What every case ends with: the window's copy equals the remote, and the remote's code
    // table is consistent.
    void ExpectInStepAndConsistent() const {
        EXPECT_EQ(CodeTableRegionText(map), RegionHex());
        EXPECT_EQ(CheckCodeTableConsistent(remote_.Image()), "");
    }

    RemoteMap map;

  private:
    RemoteImageBuilder builder_;
    SimulatedRemote remote_;
    SimulatedDevice device_;
};

std::string EntryOf(const RemoteMap& map, int index) {
    return map.codeTableText.substr(static_cast<std::size_t>(12 * index), 12);
}

// Key 36 (slot 34) pointing at code-table entry `index`, downloaded.
RemoteImageBuilder WithKey36At(int index) {
    return RemoteImageBuilder::DefaultRemote().KeyEntry(
        d::kSlotOfKey35 + 1, {0x80, 0x00, 0x80, static_cast<std::uint8_t>(index), 0x00, 0x10});
}
constexpr int kSlotOfKey36 = d::kSlotOfKey35 + 1;

TEST(ReleaseKeyEntry, ADirectCodeClearsOnlyTheStatusByte) {
    Remote r(RemoteImageBuilder::DefaultRemote());
    const RemoteMap before = r.map;
    const std::string entry = r.KeyEntryHex(d::kSlotOfKey00);
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(d::kSlotOfKey00, "00", prompter));

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(d::kSlotOfKey00)});
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey00), "00" + entry.substr(2));
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    EXPECT_EQ(r.map.keySlots, before.keySlots);  // the slot is the caller's business
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AnEntryAnotherKeyStillUsesStaysInUse) {
    // Keys 33 and 34 both point at entry 0.
    Remote r(RemoteImageBuilder::DefaultRemote());
    const RemoteMap before = r.map;
    const std::string region = r.RegionHex();
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(d::kSlotOfKey33, "33", prompter));

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(d::kSlotOfKey33)});
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    EXPECT_EQ(r.RegionHex(), region);
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ASharedEntryIsRecognisedWhateverCaseTheRemoteAnswersIn) {
    // Keys 36 and 37 both point at entry 0A; the slots hold "0A", the remote answers "0a".
    constexpr int kSlotOfKey37 = kSlotOfKey36 + 1;
    Remote r(WithKey36At(0x0A)
                 .KeyEntry(kSlotOfKey37, {0x80, 0x00, 0x80, 0x0A, 0x00, 0x10})
                 .CodeEntry(0x0A, "123456", 0x10, 3));
    const RemoteMap before = r.map;
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.ReleaseReadingLowerCase(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36)});
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    r.ExpectInStepAndConsistent();

    // Once the last key that uses it lets go, the entry and its units are freed.
    MarkSlotNotLearned(r.map.keySlots, "36");
    EXPECT_TRUE(r.ReleaseReadingLowerCase(kSlotOfKey37, "37", prompter));
    EXPECT_EQ(EntryOf(r.map, 0x0A), "000000000000");
    EXPECT_EQ(r.map.codeAreaBitmap.substr(16, 3), "000");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, FreesTheEntryAndItsUnitsSixteenToEighteen) {
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 0x10, 3));
    ASSERT_EQ(EntryOf(r.map, 5), "123456108003");
    ASSERT_EQ(r.map.codeAreaBitmap.substr(13, 8), "00011100");
    const RemoteMap before = r.map;
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    EXPECT_EQ(r.map.codeAreaBitmap.substr(13, 8), "00000000");
    EXPECT_EQ(r.map.codeAreaBitmap.size(), before.codeAreaBitmap.size());
    // Everything else of the table and the bitmap is as it was.
    std::string expectedBitmap = before.codeAreaBitmap;
    expectedBitmap.replace(16, 3, "000");
    EXPECT_EQ(r.map.codeAreaBitmap, expectedBitmap);
    EXPECT_EQ(r.map.codeTableText,
              WithCodeEntryText(before.codeTableText, 16, 5, kFreeCodeEntryText));
    // One write of the status byte, then one of the whole region.
    EXPECT_EQ(r.Writes(), (std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36), r.RegionWrite()}));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AnIndexPastTheTableFreesNothingAndWritesTheRegionBackUnchanged) {
    for (const int index : {d::kCodeTableCount, 0xFF}) {
        SCOPED_TRACE(index);
        Remote r(WithKey36At(index));
        const RemoteMap before = r.map;
        const std::string region = r.RegionHex();
        ScriptedPrompter prompter;

        EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

        EXPECT_EQ(r.map.codeTableText, before.codeTableText);
        EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
        EXPECT_EQ(r.Writes(), (std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36),
                                                        {"08", r.map.codeTableAddress, region}}));
        r.ExpectInStepAndConsistent();
    }
}

TEST(ReleaseKeyEntry, ARefusedReadWritesNothingAndTellsTheCaller) {
    Remote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().FailReadsAt(r.KeyEntryAddress(d::kSlotOfKey35));
    const RemoteMap before = r.map;
    const std::string entry = r.KeyEntryHex(d::kSlotOfKey35);
    ScriptedPrompter prompter;
    prompter.ExpectInformation(kFailed);

    EXPECT_FALSE(r.Release(d::kSlotOfKey35, "35", prompter));

    EXPECT_EQ(r.WriteCalls(), 0);
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), entry);
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ARefusedStatusWriteLeavesTheCodeEntryInUse) {
    // Key 35 alone uses entry 3: without the fault its entry and units would be freed.
    Remote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().FailNthWrite(1);
    const RemoteMap before = r.map;
    const std::string entry = r.KeyEntryHex(d::kSlotOfKey35);
    const std::string region = r.RegionHex();
    ScriptedPrompter prompter;
    prompter.ExpectInformation(kFailed);

    EXPECT_FALSE(r.Release(d::kSlotOfKey35, "35", prompter));

    EXPECT_EQ(r.WriteCalls(), 1);
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), entry);
    EXPECT_EQ(r.RegionHex(), region);
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ARefusedRegionWriteKeepsTheWindowsCopyAsTheRemoteHoldsIt) {
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 0x10, 3));
    r.Sim().FailNthWrite(2);
    const RemoteMap before = r.map;
    ScriptedPrompter prompter;

    // The key's code is off the remote; only the freeing did not reach it.
    EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36)});
    EXPECT_EQ(r.map.codeTableText, before.codeTableText);
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AnEntryNotInUseFreesNoUnits) {
    // Entry 6 is free, but its word still names units 0-2, which entry 0 uses.
    Remote r(WithKey36At(6).RawCodeEntry(6, {0x12, 0x34, 0x56, 0x00, 0x00, 0x03}));
    const RemoteMap before = r.map;
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(EntryOf(r.map, 6), "000000000000");
    EXPECT_EQ(r.map.codeAreaBitmap, before.codeAreaBitmap);
    EXPECT_EQ(r.map.codeAreaBitmap.substr(0, 3), "111");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, UnitsPastTheCodeAreaAreNeverFreedAndTheBitmapKeepsItsLength) {
    // 243 units in 31 bitmap bytes: units 240-242 exist, bits 243-247 pad the last byte, and
    // units 248 on lie past the bitmap, where the code table begins.
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 240, 10));
    ASSERT_EQ(r.map.codeAreaBitmap.substr(240), "11111111");
    const RemoteMap before = r.map;
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(r.map.codeAreaBitmap.size(), before.codeAreaBitmap.size());
    EXPECT_EQ(r.map.codeAreaBitmap.substr(0, 240), before.codeAreaBitmap.substr(0, 240));
    EXPECT_EQ(r.map.codeAreaBitmap.substr(240), "00011111");
    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    ASSERT_EQ(r.Writes().size(), 2u);
    EXPECT_EQ(r.Writes()[1].data.size(), 2u * (31 + 6 * d::kCodeTableCount));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, UnitsAnotherEntryInUseClaimsStayUsed) {
    // Entry 5 (units 4-6) overlaps entry 2 (units 3-4) at unit 4.
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 4, 3));
    ASSERT_EQ(r.map.codeAreaBitmap.substr(0, 8), "11111110");
    ScriptedPrompter prompter;

    EXPECT_TRUE(r.Release(kSlotOfKey36, "36", prompter));

    EXPECT_EQ(r.map.codeAreaBitmap.substr(0, 8), "11111000");
    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ASlotWithoutAKeyEntryIsNeverWritten) {
    // 44 key codes, but only 40 key entries: slots 40 to 43 have no entry on the remote.
    Remote r(RemoteImageBuilder::DefaultRemote().KeyEntryCount(40));
    ASSERT_EQ(r.map.keyEntryCount, 40);
    for (const int slot : {40, 43, -1}) {
        SCOPED_TRACE(slot);
        ScriptedPrompter prompter;
        prompter.ExpectInformation(kFailed);
        EXPECT_FALSE(r.Release(slot, "A0", prompter));
    }
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kReadData), 0);
    EXPECT_EQ(r.WriteCalls(), 0);
    r.ExpectInStepAndConsistent();
}

}  // namespace
