// Learning a converted code into the simulated remote: which form the key entry takes, where a
// new code's entry and data go, what a malformed result or a full remote does, and that no
// refused write and no stop after any write leaves the remote inconsistent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_text.h"
#include "device/remote_map.h"
#include "device/remote_memory_map.h"
#include "learning/code_table.h"
#include "learning/write_learned_code.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/support/started_remote.h"

namespace {

namespace d = default_remote;
constexpr int kSlotOfKey04 = 4;

// The default remote without built-in codes, so that 220000 is an id like any other.
RemoteImageBuilder NoBuiltins() {
    return RemoteImageBuilder::DefaultRemote().Builtin({});
}

// A small remote with key 01 alone and a code area of 32 units, units in use as given.
RemoteImageBuilder SmallRemote() {
    return RemoteImageBuilder().Keys({0x01}).CodeAreaUnits(32).CodeTableCount(4);
}

struct LearnCase {
    const char* name;
    RemoteImageBuilder remote;
    KeyCode key;
    int slot;
    std::string result;
    LearnOutcome outcome;
    std::string record;  // the key entry's bytes as written
    std::string slotText;
    std::string learnedCodeRef;
    // For a new entry: its index and its text on the remote afterwards.
    int entryIndex = -1;
    std::string entryText;
};

TEST(WriteLearnedCode, HoldsEachCodeInTheFormItsIdCallsFor) {
    const std::string data16(16, '5');
    const std::vector<LearnCase> cases = {
        {"built-in id in another case", RemoteImageBuilder::DefaultRemote(), 0x01, d::kSlotOfKey01,
         "2a0000::0102:0304:::", LearnOutcome::kLearnedDirect, "C000002A000001020304",
         "01|2|0|2A0000", "", -1, ""},
        {"short id", NoBuiltins(), 0x01, d::kSlotOfKey01, "210000::AA:BB:::",
         LearnOutcome::kLearnedDirect, "C00000210000AABB", "01|2|0|210000", "", -1, ""},
        {"220000 is not short", NoBuiltins(), 0x01, d::kSlotOfKey01, "220000::AA:BB:::" + data16,
         LearnOutcome::kLearnedNewEntry, "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1,
         "220000058001"},
        {"210001 is not short", NoBuiltins(), 0x01, d::kSlotOfKey01, "210001::AA:BB:::" + data16,
         LearnOutcome::kLearnedNewEntry, "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1,
         "210001058001"},
        {"an entry not in use is no match and counts as free",
         RemoteImageBuilder::DefaultRemote().RawCodeEntry(1, {0x12, 0x34, 0x56, 0x05, 0x00, 0x01}),
         0x01, d::kSlotOfKey01, "123456::AA:BB:::" + data16, LearnOutcome::kLearnedNewEntry,
         "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1, "123456058001"},
        {"an entry in use is reused", RemoteImageBuilder::DefaultRemote(), 0x01, d::kSlotOfKey01,
         "A09ABC::AA:BB:::" + data16, LearnOutcome::kLearnedExistingEntry, "C0008003FFFFAABB",
         "01|2|1|03", "03", -1, ""},
        {"40 digits take 3 units", RemoteImageBuilder::DefaultRemote(), 0x01, d::kSlotOfKey01,
         "123456::AA:BB:::" + std::string(40, '1'), LearnOutcome::kLearnedNewEntry,
         "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1, "123456058003"},
        {"48 digits take 3 units", RemoteImageBuilder::DefaultRemote(), 0x01, d::kSlotOfKey01,
         "123456::AA:BB:::" + std::string(48, '1'), LearnOutcome::kLearnedNewEntry,
         "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1, "123456058003"},
        {"16 bytes of fields fill the key entry", RemoteImageBuilder::DefaultRemote(), 0x01,
         d::kSlotOfKey01, "210000::" + std::string(16, 'A') + ":" + std::string(16, 'B') + ":::",
         LearnOutcome::kLearnedDirect, "C00000210000" + std::string(16, 'A') + std::string(16, 'B'),
         "01|2|0|210000", "", -1, ""},
        {"bitmap 11100110, 2 units: unit 3",
         SmallRemote().CodeEntry(0, "A00000", 0, 3).CodeEntry(1, "B00000", 5, 2), 0x01, 0,
         "123456::AA:BB:::" + std::string(32, '1'), LearnOutcome::kLearnedNewEntry,
         "C0008002FFFFAABB", "01|2|1|02FFFF", "02FFFF", 2, "123456038002"},
        {"bitmap 11100110, 3 units: unit 7",
         SmallRemote().CodeEntry(0, "A00000", 0, 3).CodeEntry(1, "B00000", 5, 2), 0x01, 0,
         "123456::AA:BB:::" + std::string(48, '1'), LearnOutcome::kLearnedNewEntry,
         "C0008002FFFFAABB", "01|2|1|02FFFF", "02FFFF", 2, "123456078003"},
        {"unit 10 hex, 3 units", SmallRemote().CodeEntry(0, "A00000", 0, 16), 0x01, 0,
         "123456::AA:BB:::" + std::string(48, '1'), LearnOutcome::kLearnedNewEntry,
         "C0008001FFFFAABB", "01|2|1|01FFFF", "01FFFF", 1, "123456108003"},
        {"the last unit of the code area", SmallRemote().CodeEntry(0, "A00000", 0, 31), 0x01, 0,
         "123456::AA:BB:::" + data16, LearnOutcome::kLearnedNewEntry, "C0008001FFFFAABB",
         "01|2|1|01FFFF", "01FFFF", 1, "1234561F8001"},
        {"slot index 4", RemoteImageBuilder::DefaultRemote(), 0x04, kSlotOfKey04,
         "210000::AA:BB:::", LearnOutcome::kLearnedDirect, "C00000210000AABB", "04|2|0|210000", "",
         -1, ""},
    };
    for (const LearnCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(c.remote);
        const std::string regionBefore = r.RegionHex();

        const LearnResult result = WriteLearnedCode(r.map, r.Device(), c.key, c.result);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.slotIndex, static_cast<std::size_t>(c.slot));
        EXPECT_EQ(result.learnedCodeRef, c.learnedCodeRef);
        EXPECT_EQ(SlotText(r.map.keySlots.at(static_cast<std::size_t>(c.slot))), c.slotText);
        EXPECT_EQ(r.KeyEntryHex(c.slot, static_cast<int>(c.record.size() / 2)), c.record);
        const std::vector<RemoteWrite> writes = r.Sim().Writes();
        ASSERT_FALSE(writes.empty());
        // The key entry is the last write.
        EXPECT_EQ(writes.back().address, r.Builder().KeyEntryAddress(c.slot));
        if (c.entryIndex >= 0) {
            EXPECT_EQ(r.EntryHex(c.entryIndex), c.entryText);
            ASSERT_EQ(writes.size(), 3u);
            // The data lies in the entry's first unit on.
            const int firstUnit = std::stoi(c.entryText.substr(6, 2), nullptr, 16);
            EXPECT_EQ(writes[0].address, r.map.codeAreaAddress + 8 * firstUnit);
            EXPECT_EQ(writes[0].data, c.result.substr(c.result.rfind(':') + 1));
            EXPECT_EQ(writes[1].address, r.map.codeTableAddress);
        } else {
            EXPECT_EQ(writes.size(), 1u) << "nothing but the key entry";
            EXPECT_EQ(r.RegionHex(), regionBefore);
        }
        ExpectConsistentAndInStep(r);
    }
}

TEST(WriteLearnedCode, AMalformedResultWritesNothing) {
    const std::string data16(16, '5');
    const std::vector<std::string> results = {
        "",
        "220000",
        "220000::AABB",
        "220000::AA:BB",
        "220000:AA:BB:::" + data16,
        "22000::AA:BB:::" + data16,
        "2200000::AA:BB:::" + data16,
        "22000G::AA:BB:::" + data16,
        "220000::A:BB:::" + data16,
        "220000::AA:BX:::" + data16,
        "210000::" + std::string(16, 'A') + ":" + std::string(18, 'B') + ":::",
        // A new table code's data: empty, not hex, not whole bytes, more than 255 units.
        "123456::AA:BB:::",
        "123456::AA:BB:::00112233445566ZZ",
        "123456::AA:BB:::001",
        "123456::AA:BB:::" + std::string(16 * 255 + 2, '0'),
    };
    for (const std::string& result : results) {
        SCOPED_TRACE(result.substr(0, 40));
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        const RemoteMap before = r.map;

        EXPECT_EQ(WriteLearnedCode(r.map, r.Device(), 0x01, result).outcome,
                  LearnOutcome::kMalformedResult);

        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
        EXPECT_EQ(SlotTexts(r.map.keySlots), SlotTexts(before.keySlots));
        EXPECT_EQ(CodeTableText(r.map.codeTable), CodeTableText(before.codeTable));
    }
}

TEST(WriteLearnedCode, WhatCannotBeHeldFailsBeforeAnyWrite) {
    const std::string code = "123456::AA:BB:::" + std::string(32, '1');
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        KeyCode key;
        std::string result;
        LearnOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"every entry in use",
         SmallRemote().CodeTableCount(2).CodeEntry(0, "A00000", 0, 1).CodeEntry(1, "B00000", 1, 1),
         0x01, code, LearnOutcome::kNoFreeCodeEntry},
        {"no run long enough", SmallRemote().CodeEntry(0, "A00000", 0, 31), 0x01, code,
         LearnOutcome::kNoRoom},
        // Only the last unit is free: two units would run past the code area.
        {"a run past the code area", SmallRemote().CodeEntry(0, "A00000", 0, 31), 0x01,
         "123456::AA:BB:::" + std::string(16, '1') + "00", LearnOutcome::kNoRoom},
        {"a unit an entry claims though the bitmap says free",
         SmallRemote().CodeEntry(0, "A00000", 0, 31).BitmapBytes({0xFF, 0xFF, 0xFF, 0xFC}), 0x01,
         code, LearnOutcome::kNoRoom},
        {"a key with no slot", RemoteImageBuilder::DefaultRemote(), 0x99,
         "210000::AA:BB:::", LearnOutcome::kNoKeySlot},
        {"a slot past the key table", RemoteImageBuilder::DefaultRemote().KeyEntryCount(40), 0xA0,
         "210000::AA:BB:::", LearnOutcome::kNoKeySlot},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(c.remote);
        const RemoteMap before = r.map;
        EXPECT_EQ(WriteLearnedCode(r.map, r.Device(), c.key, c.result).outcome, c.outcome);
        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
        EXPECT_EQ(SlotTexts(r.map.keySlots), SlotTexts(before.keySlots));
    }

    // A key entry that cannot be read is not overwritten on a guess about what it held.
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().FailReadsAt(r.Builder().KeyEntryAddress(d::kSlotOfKey35));
    EXPECT_EQ(WriteLearnedCode(r.map, r.Device(), 0x35, "210000::AA:BB:::").outcome,
              LearnOutcome::kKeyEntryNotRead);
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
}

TEST(WriteLearnedCode, ReLearningFreesWhatTheKeyHeldOnlyWhenNoKeyUsesItAnyMore) {
    struct Case {
        const char* name;
        KeyCode key;
        int slot;
        std::string result;
        int entry;  // the entry the key held
        bool entryStaysInUse;
    };
    const std::vector<Case> cases = {
        {"entry 3, key 35's alone", 0x35, d::kSlotOfKey35, "210000::AA:BB:::", 3, false},
        {"entry 0, shared with key 34", 0x33, d::kSlotOfKey33, "210000::AA:BB:::", 0, true},
        // The new code is the very code the key held: its entry must not be freed under it.
        {"entry 2, the code it learns again", 0x30, d::kSlotOfKey30, "B6C3AF::AA:BB:::", 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        const LearnResult result = WriteLearnedCode(r.map, r.Device(), c.key, c.result);
        ASSERT_TRUE(Learned(result.outcome));
        EXPECT_FALSE(result.previousEntryLeftInUse);
        EXPECT_EQ(r.map.codeTable.at(static_cast<std::size_t>(c.entry)).inUse, c.entryStaysInUse);
        const std::vector<RemoteWrite> writes = r.Sim().Writes();
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes[0].address, r.Builder().KeyEntryAddress(c.slot)) << "the key entry first";
        EXPECT_EQ(writes.size(), c.entryStaysInUse ? 1u : 2u);
        ExpectConsistentAndInStep(r);
        const RemoteMemoryCheck check = CheckRemoteMemory(r.Sim().Image());
        EXPECT_TRUE(check.warnings.empty()) << check.warnings.front();
    }
}

// Re-learning key 35, whose entry 3 no other key uses, with a code new to the remote: the
// attempt with the most writes (code data, bitmap and table, key entry, release of entry 3).
constexpr KeyCode kKey = 0x35;
const std::string kNewCode = "123456::AA:BB:::" + std::string(40, '1');
constexpr int kWritesOfTheAttempt = 4;

TEST(WriteLearnedCode, AStopAfterAnyWriteLeavesTheRemoteConsistent) {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    r.WatchWrites();
    const std::vector<RemoteImage>& afterEachWrite = r.ImagesAfterWrites();

    EXPECT_EQ(WriteLearnedCode(r.map, r.Device(), kKey, kNewCode).outcome,
              LearnOutcome::kLearnedNewEntry);

    ASSERT_EQ(afterEachWrite.size(), static_cast<std::size_t>(kWritesOfTheAttempt));
    for (std::size_t k = 0; k < afterEachWrite.size(); ++k) {
        SCOPED_TRACE("stopped after write " + std::to_string(k + 1));
        const RemoteMemoryCheck check = CheckRemoteMemory(afterEachWrite[k]);
        EXPECT_TRUE(check.Consistent()) << check.findings.front();
        // Before the key entry the new entry 1, between it and the release the old entry 3, is
        // in use with no key pointing at it: a warning, never a broken invariant.
        const std::vector<std::vector<std::string>> warnings = {
            {},
            {"entry 1 is in use but no key points at it"},
            {"entry 3 is in use but no key points at it"},
            {}};
        EXPECT_EQ(check.warnings, warnings[k]);
    }
    ExpectConsistentAndInStep(r);
}

TEST(WriteLearnedCode, ARefusedWriteFailsTheAttemptAndLeavesTheRemoteConsistent) {
    struct Case {
        int refused;  // the refused write, counted from 1
        LearnOutcome outcome;
        bool keyLearned;
    };
    const std::vector<Case> cases = {
        {1, LearnOutcome::kCodeDataNotWritten, false},
        {2, LearnOutcome::kCodeTableNotWritten, false},
        {3, LearnOutcome::kKeyEntryNotWritten, false},
        {4, LearnOutcome::kLearnedNewEntry, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("write " + std::to_string(c.refused) + " refused");
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        const std::string keyEntry = r.KeyEntryHex(d::kSlotOfKey35);
        const std::string slotText = SlotText(r.map.keySlots[d::kSlotOfKey35]);
        const std::string regionBefore = r.RegionHex();
        r.Sim().FailNthWrite(c.refused);

        const LearnResult result = WriteLearnedCode(r.map, r.Device(), kKey, kNewCode);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.previousEntryLeftInUse, c.keyLearned);
        EXPECT_FALSE(result.newEntryLeftInUse);
        if (!c.keyLearned) {
            // The key keeps its code, and what the attempt claimed is free again.
            EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey35), keyEntry);
            EXPECT_EQ(SlotText(r.map.keySlots[d::kSlotOfKey35]), slotText);
            EXPECT_EQ(r.RegionHex(), regionBefore);
        }
        ExpectConsistentAndInStep(r);
        const RemoteMemoryCheck check = CheckRemoteMemory(r.Sim().Image());
        EXPECT_EQ(check.warnings.size(), c.keyLearned ? 1u : 0u) << "entry 3 left in use";
    }
}

TEST(WriteLearnedCode, AClaimThatCannotBeTakenBackIsLeftAsAWarningNeverACorruption) {
    // The key entry and the write that would free the new entry again are both refused.
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    int writes = 0;
    r.Sim().SetWriteObserver([&writes](const RemoteImage&) { return ++writes < 3; });

    const LearnResult result = WriteLearnedCode(r.map, r.Device(), kKey, kNewCode);

    EXPECT_EQ(result.outcome, LearnOutcome::kKeyEntryNotWritten);
    EXPECT_TRUE(result.newEntryLeftInUse);
    ExpectConsistentAndInStep(r);
    EXPECT_EQ(CheckRemoteMemory(r.Sim().Image()).warnings,
              std::vector<std::string>{"entry 1 is in use but no key points at it"});
}

TEST(WriteLearnedCode, AWriteThatLandedUnconfirmedIsReadBackAndTheKeyIsLearned) {
    // The reply to each write in turn is lost (or says failed) although the remote stored the
    // bytes: a key entry that landed must never be "rolled back" under the key.
    RemoteImage clean;
    {
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        ASSERT_EQ(WriteLearnedCode(r.map, r.Device(), kKey, kNewCode).outcome,
                  LearnOutcome::kLearnedNewEntry);
        clean = r.Sim().Image();
    }
    for (int k = 1; k <= kWritesOfTheAttempt; ++k) {
        SCOPED_TRACE("reply to write " + std::to_string(k) + " lost");
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        r.Sim().LoseNthWriteReply(k);

        const LearnResult result = WriteLearnedCode(r.map, r.Device(), kKey, kNewCode);

        EXPECT_EQ(result.outcome, LearnOutcome::kLearnedNewEntry);
        EXPECT_FALSE(result.previousEntryLeftInUse);
        EXPECT_FALSE(result.newEntryLeftInUse);
        EXPECT_FALSE(result.remoteUncertain);
        EXPECT_EQ(r.Sim().Image().banks, clean.banks);
        ExpectConsistentAndInStep(r);
    }
}

TEST(WriteLearnedCode, AWriteWhoseOutcomeCannotBeLearnedIsNeverUndone) {
    // Each write in turn lands unconfirmed and the read that would tell is refused as well:
    // nothing may then be taken back or freed that a key may point at.
    struct Case {
        int write;
        LearnOutcome outcome;
        bool uncertain;
    };
    const std::vector<Case> cases = {
        {1, LearnOutcome::kCodeDataNotWritten, false},  // data in free units claims nothing
        {2, LearnOutcome::kCodeTableNotWritten, true},
        {3, LearnOutcome::kKeyEntryUnknown, true},
        {4, LearnOutcome::kLearnedNewEntry, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("write " + std::to_string(c.write) + " unconfirmed, read-back refused");
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        SimulatedDevice simulated(r.Sim());
        UnconfirmedWriteEntryPoints unconfirmed(simulated);
        DeviceLibrary device(unconfirmed);
        unconfirmed.Arm(c.write, UnconfirmedWriteEntryPoints::Reply::kAnsweredFailed, true);

        const LearnResult result = WriteLearnedCode(r.map, device, kKey, kNewCode);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.remoteUncertain, c.uncertain);
        const RemoteMemoryCheck check = CheckRemoteMemory(r.Sim().Image());
        EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
        // Whatever the remote may hold in use, the map keeps in use (so that no unit is given
        // out twice), and the key is never left pointing at a free entry.
        const RemoteMap fresh = r.ReadAgain();
        for (std::size_t i = 0; i < r.map.codeTable.size(); ++i) {
            if (fresh.codeTable[i].inUse) {
                EXPECT_TRUE(r.map.codeTable[i].inUse) << "entry " << i;
            }
        }
    }
}

}  // namespace
