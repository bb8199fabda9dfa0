// Releasing a key's code against the in-process simulated remote: after every case the test
// looks at what the remote holds, whether the window's copy of the code table still matches it,
// and whether the remote's code table is still consistent.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/device_text.h"
#include "device/remote_map.h"
#include "device/remote_memory_map.h"
#include "device/startup_reading.h"
#include "learning/code_table.h"
#include "learning/key_slots.h"
#include "learning/release_key_entry.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "sim/simulated_remote.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/support/simulated_device.h"
#include "tests/support/started_remote.h"

namespace {

namespace d = default_remote;
using Bytes = RemoteImageBuilder::ByteList;

constexpr int kBank = 0x08;

// Entry points whose every read answer is changed on its way back: into lower-case hex, as a
// library that "parses either case" may also answer, or into something that is not hex.
using ReadChange = std::function<void(char* buffer, int unitCount)>;
class AlteredReads final : public ForwardingEntryPoints {
  public:
    AlteredReads(DeviceEntryPoints& device, ReadChange change)
        : ForwardingEntryPoints(device), change_(std::move(change)) {}

    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        const bool ok = ForwardingEntryPoints::readdatav20(buffer, unitCount, addressHigh,
                                                           addressLow, memoryBank);
        if (ok)
            change_(buffer, unitCount);
        return ok;
    }

  private:
    ReadChange change_;
};

void LowerCase(char* buffer, int unitCount) {
    for (int i = 0; i < 16 * unitCount; ++i)
        buffer[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(buffer[i])));
}

// A remote as start-up found it: the simulated remote, the device over it and the map that
// start-up read, with the call log cleared so that only the release's calls are seen.
class Remote : public StartedRemote {
  public:
    using StartedRemote::StartedRemote;

    KeyRelease Release(std::size_t slot) { return ReleaseKeyEntry(map, Device(), slot); }
    KeyRelease ReleaseWithReads(const ReadChange& change, std::size_t slot) {
        SimulatedDevice entryPoints(Sim());
        AlteredReads altered(entryPoints, change);
        DeviceLibrary device(altered);
        return ReleaseKeyEntry(map, device, slot);
    }

    std::vector<RemoteWrite> Writes() const { return Sim().Writes(); }
    int WriteCalls() const { return Sim().CallCount(DeviceCall::kWriteData); }
    int KeyEntryAddress(int slot) const { return Builder().KeyEntryAddress(slot); }
    RemoteWrite StatusWrite(int slot) const { return {"08", KeyEntryAddress(slot), "00"}; }
    RemoteWrite RegionWrite() const { return {"08", map.codeTableAddress, RegionHex()}; }

    // What every case ends with: the window's copy equals the remote, and the remote's code
    // table is consistent.
    void ExpectInStepAndConsistent() const {
        EXPECT_EQ(HexBytesText(CodeTableRegionBytes(map)), RegionHex());
        EXPECT_EQ(CheckCodeTableConsistent(Sim().Image()), "");
    }
};

std::string EntryOf(const RemoteMap& map, int index) {
    return CodeEntryText(map.codeTable.at(static_cast<std::size_t>(index)));
}

std::string BitmapOf(const RemoteMap& map) {
    return map.codeAreaBitmap.BitText();
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

    const KeyRelease release = r.Release(d::kSlotOfKey00);

    EXPECT_EQ(release.outcome, ReleaseOutcome::kReleased);
    EXPECT_EQ(release.keyCode, 0x00);
    EXPECT_FALSE(release.freedEntry);
    EXPECT_FALSE(release.entryLeftInUse);
    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(d::kSlotOfKey00)});
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey00), "00" + entry.substr(2));
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    // Only the released key's slot changes, and it follows the remote.
    std::vector<KeySlot> slots = before.keySlots;
    slots[d::kSlotOfKey00] = NotLearnedSlot(0x00);
    EXPECT_EQ(r.map.keySlots, slots);
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AnEntryAnotherKeyStillUsesStaysInUse) {
    // Keys 33 and 34 both point at entry 0.
    Remote r(RemoteImageBuilder::DefaultRemote());
    const RemoteMap before = r.map;
    const std::string region = r.RegionHex();

    EXPECT_EQ(ReleaseOutcome::kReleased, r.Release(d::kSlotOfKey33).outcome);

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(d::kSlotOfKey33)});
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
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

    const KeyRelease first = r.ReleaseWithReads(LowerCase, kSlotOfKey36);
    EXPECT_EQ(ReleaseOutcome::kReleased, first.outcome);
    EXPECT_FALSE(first.freedEntry);

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36)});
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    r.ExpectInStepAndConsistent();

    // Once the last key that uses it lets go, the entry and its units are freed: the first
    // release marked its slot, so the entry is no longer the first key's.
    const KeyRelease last = r.ReleaseWithReads(LowerCase, kSlotOfKey37);
    EXPECT_EQ(ReleaseOutcome::kReleased, last.outcome);
    EXPECT_EQ(last.freedEntry, (FreedCodeEntry{0x0A, before.codeTable[0x0A]}));
    EXPECT_EQ(EntryOf(r.map, 0x0A), "000000000000");
    EXPECT_EQ(BitmapOf(r.map).substr(16, 3), "000");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, FreesTheEntryAndItsUnitsSixteenToEighteen) {
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 0x10, 3));
    ASSERT_EQ(EntryOf(r.map, 5), "123456108003");
    ASSERT_EQ(BitmapOf(r.map).substr(13, 8), "00011100");
    const RemoteMap before = r.map;

    const KeyRelease release = r.Release(kSlotOfKey36);

    EXPECT_EQ(release.outcome, ReleaseOutcome::kReleased);
    EXPECT_EQ(release.freedEntry, (FreedCodeEntry{5, before.codeTable[5]}));
    EXPECT_FALSE(release.entryLeftInUse);
    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    EXPECT_EQ(BitmapOf(r.map).substr(13, 8), "00000000");
    EXPECT_EQ(BitmapOf(r.map).size(), BitmapOf(before).size());
    // Everything else of the table and the bitmap is as it was.
    std::string expectedBitmap = BitmapOf(before);
    expectedBitmap.replace(16, 3, "000");
    EXPECT_EQ(BitmapOf(r.map), expectedBitmap);
    EXPECT_EQ(CodeTableText(r.map.codeTable),
              CodeTableText(before.codeTable).replace(5 * 12, 12, "000000000000"));
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

        EXPECT_EQ(ReleaseOutcome::kReleased, r.Release(kSlotOfKey36).outcome);

        EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
        EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
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

    EXPECT_EQ(ReleaseOutcome::kEntryNotReadable, r.Release(d::kSlotOfKey35).outcome);

    EXPECT_EQ(r.WriteCalls(), 0);
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), entry);
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AnEntryAnsweredInSomethingButHexIsNotReadableAndNothingIsWritten) {
    Remote r(RemoteImageBuilder::DefaultRemote());
    const RemoteMap before = r.map;
    const std::string entry = r.KeyEntryHex(d::kSlotOfKey35);
    // One character outside the 22 bytes of the entry is enough: the read is not the remote's.
    const auto notHex = [](char* buffer, int) { buffer[60] = 'x'; };

    EXPECT_EQ(ReleaseOutcome::kEntryNotReadable,
              r.ReleaseWithReads(notHex, d::kSlotOfKey35).outcome);

    EXPECT_EQ(r.WriteCalls(), 0);
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), entry);
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ARefusedStatusWriteLeavesTheCodeEntryInUse) {
    // Key 35 alone uses entry 3: without the fault its entry and units would be freed.
    Remote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().FailNthWrite(1);
    const RemoteMap before = r.map;
    const std::string entry = r.KeyEntryHex(d::kSlotOfKey35);
    const std::string region = r.RegionHex();

    EXPECT_EQ(ReleaseOutcome::kStatusNotWritten, r.Release(d::kSlotOfKey35).outcome);

    EXPECT_EQ(r.WriteCalls(), 1);
    EXPECT_EQ(r.map.keySlots, before.keySlots);
    EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), entry);
    EXPECT_EQ(r.RegionHex(), region);
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ARefusedRegionWriteKeepsTheWindowsCopyAsTheRemoteHoldsIt) {
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 0x10, 3));
    r.Sim().FailNthWrite(2);
    const RemoteMap before = r.map;

    // The key's code is off the remote; only the freeing did not reach it, and the report says so.
    const KeyRelease release = r.Release(kSlotOfKey36);
    EXPECT_EQ(release.outcome, ReleaseOutcome::kReleased);
    EXPECT_FALSE(release.freedEntry);
    EXPECT_EQ(release.entryLeftInUse, 5);

    EXPECT_EQ(r.Writes(), std::vector<RemoteWrite>{r.StatusWrite(kSlotOfKey36)});
    EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, AWriteThatLandedUnconfirmedCountsAsDoneAndAnUnknownOneFreesNothing) {
    // Key 35 alone uses entry 3; its status byte is write 1, the freeing write 2.
    struct Case {
        const char* name;
        int write;
        bool readBackRefused;
        ReleaseOutcome outcome;
        bool entryFreed;  // on the remote and in the map
        bool uncertain;
    };
    const std::vector<Case> cases = {
        {"status byte landed", 1, false, ReleaseOutcome::kReleased, true, false},
        {"region landed", 2, false, ReleaseOutcome::kReleased, true, false},
        {"status byte unknown", 1, true, ReleaseOutcome::kStatusUnknown, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Remote r(RemoteImageBuilder::DefaultRemote());
        SimulatedDevice simulated(r.Sim());
        UnconfirmedWriteEntryPoints unconfirmed(simulated);
        DeviceLibrary device(unconfirmed);
        unconfirmed.Arm(c.write, UnconfirmedWriteEntryPoints::Reply::kLate, c.readBackRefused);

        const KeyRelease release = ReleaseKeyEntry(r.map, device, d::kSlotOfKey35);

        EXPECT_EQ(release.outcome, c.outcome);
        EXPECT_EQ(release.remoteUncertain, c.uncertain);
        EXPECT_EQ(release.freedEntry.has_value(), c.entryFreed);
        EXPECT_EQ(r.map.codeTable[3].inUse, !c.entryFreed);
        EXPECT_EQ(r.ReadAgain().codeTable[3].inUse, !c.entryFreed);
        EXPECT_EQ(CheckCodeTableConsistent(r.Sim().Image()), "");
    }
}

TEST(ReleaseKeyEntry, AnEntryNotInUseFreesNoUnits) {
    // Entry 6 is free, but its word still names units 0-2, which entry 0 uses.
    Remote r(WithKey36At(6).RawCodeEntry(6, {0x12, 0x34, 0x56, 0x00, 0x00, 0x03}));
    const RemoteMap before = r.map;

    EXPECT_EQ(ReleaseOutcome::kReleased, r.Release(kSlotOfKey36).outcome);

    EXPECT_EQ(EntryOf(r.map, 6), "000000000000");
    EXPECT_EQ(BitmapOf(r.map), BitmapOf(before));
    EXPECT_EQ(BitmapOf(r.map).substr(0, 3), "111");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, UnitsPastTheCodeAreaAreNeverFreedAndTheBitmapKeepsItsLength) {
    // 243 units in 31 bitmap bytes: units 240-242 exist, bits 243-247 pad the last byte, and
    // units 248 on lie past the bitmap, where the code table begins.
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 240, 10));
    ASSERT_EQ(BitmapOf(r.map).substr(240), "11111111");
    const RemoteMap before = r.map;

    EXPECT_EQ(ReleaseOutcome::kReleased, r.Release(kSlotOfKey36).outcome);

    EXPECT_EQ(BitmapOf(r.map).size(), BitmapOf(before).size());
    EXPECT_EQ(BitmapOf(r.map).substr(0, 240), BitmapOf(before).substr(0, 240));
    EXPECT_EQ(BitmapOf(r.map).substr(240), "00011111");
    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    ASSERT_EQ(r.Writes().size(), 2u);
    EXPECT_EQ(r.Writes()[1].data.size(), 2u * (31 + 6 * d::kCodeTableCount));
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, UnitsAnotherEntryInUseClaimsStayUsed) {
    // Entry 5 (units 4-6) overlaps entry 2 (units 3-4) at unit 4.
    Remote r(WithKey36At(5).CodeEntry(5, "123456", 4, 3));
    ASSERT_EQ(BitmapOf(r.map).substr(0, 8), "11111110");

    EXPECT_EQ(ReleaseOutcome::kReleased, r.Release(kSlotOfKey36).outcome);

    EXPECT_EQ(BitmapOf(r.map).substr(0, 8), "11111000");
    EXPECT_EQ(EntryOf(r.map, 5), "000000000000");
    r.ExpectInStepAndConsistent();
}

TEST(ReleaseKeyEntry, ASlotWithoutAKeyEntryIsNeverWritten) {
    // 44 key codes, but only 40 key entries: slots 40 to 43 have no entry on the remote.
    Remote r(RemoteImageBuilder::DefaultRemote().KeyEntryCount(40));
    ASSERT_EQ(r.map.keyEntryCount, 40);
    for (const std::size_t slot : std::vector<std::size_t>{40, 43, d::kKeyCount, SIZE_MAX}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(ReleaseOutcome::kNoKeyEntry, r.Release(slot).outcome);
    }
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kReadData), 0);
    EXPECT_EQ(r.WriteCalls(), 0);
    r.ExpectInStepAndConsistent();
}

}  // namespace
