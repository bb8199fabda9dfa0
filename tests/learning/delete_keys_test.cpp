// Deleting one learned key and clearing every learned key on the simulated remote: what is
// written and in which order, which code-table entries are freed and which must stay, what a
// refused read or write does, and that the remote stays consistent whichever write is refused
// or is the last before a stop.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/remote_map.h"
#include "learning/delete_keys.h"
#include "learning/key_slots.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "tests/support/started_remote.h"

namespace {

namespace d = default_remote;
using Bytes = RemoteImageBuilder::ByteList;

constexpr int kSlotOfKey02 = 2;
constexpr int kSlotOfKey05 = 5;
constexpr int kSlotOfKey09 = 9;
constexpr int kSlotOfKey36 = d::kSlotOfKey35 + 1;

Bytes LearnedInEntry(std::uint8_t index) {
    return {0xC0, 0x00, 0x80, index, 0xFF, 0xFF};
}
const Bytes kLearnedDirect = {0xC0, 0x00, 0x00, 0x21, 0x00, 0x00};

// The default remote with five learned keys: 02 and 09 share entry 5 (units 16-18), which no
// other key uses; 05 names its code itself; 30 alone uses entry 2 (units 3-4); 36 uses entry 0,
// which the downloaded keys 33 and 34 use too.
RemoteImageBuilder LearnedKeys() {
    return RemoteImageBuilder::DefaultRemote()
        .CodeEntry(5, "123456", 16, 3)
        .KeyEntry(kSlotOfKey02, LearnedInEntry(5))
        .KeyEntry(kSlotOfKey05, kLearnedDirect)
        .KeyEntry(kSlotOfKey09, LearnedInEntry(5))
        .KeyEntry(kSlotOfKey36, LearnedInEntry(0));
}
const std::vector<std::size_t> kLearnedSlots = {kSlotOfKey02, kSlotOfKey05, kSlotOfKey09,
                                                d::kSlotOfKey30, kSlotOfKey36};
const FreedCodeEntry kEntry2 = {2, CodeEntry{CodeId{{0xB6, 0xC3, 0xAF}}, true, 3, 2}};
const FreedCodeEntry kEntry5 = {5, CodeEntry{CodeId{{0x12, 0x34, 0x56}}, true, 16, 3}};

std::vector<std::size_t> SlotsOf(const std::vector<KeyRelease>& keys) {
    std::vector<std::size_t> slots;
    for (const KeyRelease& key : keys)
        slots.push_back(key.slotIndex);
    return slots;
}

std::vector<int> IndicesOf(const std::vector<FreedCodeEntry>& entries) {
    std::vector<int> indices;
    for (const FreedCodeEntry& entry : entries)
        indices.push_back(entry.index);
    return indices;
}

std::vector<int> WriteAddresses(const StartedRemote& r) {
    std::vector<int> addresses;
    for (const RemoteWrite& write : r.Sim().Writes())
        addresses.push_back(write.address);
    return addresses;
}

int KeyEntryAt(const StartedRemote& r, std::size_t slot) {
    return r.Builder().KeyEntryAddress(static_cast<int>(slot));
}

std::vector<std::string> Warnings(const StartedRemote& r) {
    return CheckRemoteMemory(r.Sim().Image()).warnings;
}

const std::string kEntry5LeftInUse = "entry 5 is in use but no key points at it";

TEST(DeleteLearnedKey, TakesTheKeyOffAndFreesItsEntryOnlyWhenNoOtherKeyUsesIt) {
    struct Case {
        const char* name;
        KeyCode key;
        std::size_t slot;
        std::optional<FreedCodeEntry> freed;
    };
    const std::vector<Case> cases = {
        {"a code named in the key entry", 0x05, kSlotOfKey05, std::nullopt},
        {"an entry no other key uses", 0x30, d::kSlotOfKey30, kEntry2},
        {"an entry downloaded keys use too", 0x36, kSlotOfKey36, std::nullopt},
        {"an entry a learned twin uses too", 0x02, kSlotOfKey02, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(LearnedKeys());
        const RemoteMap before = r.map;
        const std::string region = r.RegionHex();

        const DeleteResult result = DeleteLearnedKey(r.map, r.Device(), c.key);

        EXPECT_EQ(result.outcome, DeleteOutcome::kDeleted);
        EXPECT_EQ(result.release.slotIndex, c.slot);
        EXPECT_EQ(result.release.freedEntry, c.freed);
        EXPECT_FALSE(result.release.entryLeftInUse);
        EXPECT_EQ(r.KeyEntryHex(static_cast<int>(c.slot), 1), "00");
        // The key entry first; the region only when an entry was freed.
        std::vector<int> writes = {KeyEntryAt(r, c.slot)};
        if (c.freed)
            writes.push_back(r.map.codeTableAddress);
        EXPECT_EQ(WriteAddresses(r), writes);
        if (!c.freed) {
            EXPECT_EQ(r.RegionHex(), region);
        }
        // Only the deleted key's slot changes.
        std::vector<KeySlot> slots = before.keySlots;
        slots[c.slot] = NotLearnedSlot(c.key);
        EXPECT_EQ(r.map.keySlots, slots);
        ExpectConsistentAndInStep(r);
        EXPECT_EQ(Warnings(r), std::vector<std::string>{});
    }
}

TEST(DeleteLearnedKey, TheLastOfTwoTwinsFreesTheirSharedEntry) {
    StartedRemote r(LearnedKeys());
    ASSERT_EQ(DeleteLearnedKey(r.map, r.Device(), 0x02).outcome, DeleteOutcome::kDeleted);
    EXPECT_TRUE(r.map.codeTable[5].inUse);

    const DeleteResult second = DeleteLearnedKey(r.map, r.Device(), 0x09);

    EXPECT_EQ(second.outcome, DeleteOutcome::kDeleted);
    EXPECT_EQ(second.release.freedEntry, kEntry5);
    EXPECT_EQ(r.EntryHex(5), "000000000000");
    EXPECT_EQ(r.map.codeAreaBitmap.BitText().substr(16, 3), "000");
    ExpectConsistentAndInStep(r);
    EXPECT_EQ(Warnings(r), std::vector<std::string>{});
}

TEST(DeleteLearnedKey, RefusesWhatIsNotLearnedWithoutTouchingTheRemote) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        KeyCode key;
        DeleteOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"downloaded, named in the key entry", LearnedKeys(), 0x00, DeleteOutcome::kNotLearned},
        {"downloaded, in the code table", LearnedKeys(), 0x33, DeleteOutcome::kNotLearned},
        {"no code", LearnedKeys(), 0x01, DeleteOutcome::kNotLearned},
        {"no slot", LearnedKeys(), 0x99, DeleteOutcome::kNotLearned},
        {"a slot with no key entry", LearnedKeys().KeyEntryCount(40), 0xA0,
         DeleteOutcome::kNotLearned},
        {"a remote without keys", RemoteImageBuilder(), 0x30, DeleteOutcome::kNoKeySlots},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(c.remote);
        const RemoteMap before = r.map;

        EXPECT_EQ(DeleteRefusal(r.map.keySlots, c.key), c.outcome);
        EXPECT_EQ(DeleteLearnedKey(r.map, r.Device(), c.key).outcome, c.outcome);

        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kReadData), 0);
        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
        EXPECT_EQ(r.map.keySlots, before.keySlots);
    }
}

TEST(DeleteLearnedKey, AFailedReleaseLeavesTheKeyLearnedAndTheRemoteConsistent) {
    struct Case {
        const char* name;
        bool readRefused;
        std::set<int> refusedWrites;
        DeleteOutcome outcome;
        ReleaseOutcome release;
        std::vector<std::string> warnings;
    };
    const std::vector<Case> cases = {
        {"the key entry cannot be read",
         true,
         {},
         DeleteOutcome::kNotDeleted,
         ReleaseOutcome::kEntryNotReadable,
         {}},
        {"the status byte is refused",
         false,
         {1},
         DeleteOutcome::kNotDeleted,
         ReleaseOutcome::kStatusNotWritten,
         {}},
        // The key is off the remote; its entry stays in use with no key pointing at it.
        {"the region is refused",
         false,
         {2},
         DeleteOutcome::kDeleted,
         ReleaseOutcome::kReleased,
         {"entry 2 is in use but no key points at it"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(LearnedKeys());
        if (c.readRefused)
            r.Sim().FailReadsAt(KeyEntryAt(r, d::kSlotOfKey30));
        r.WatchWrites(c.refusedWrites);
        const std::string keyEntry = r.KeyEntryHex(d::kSlotOfKey30);

        const DeleteResult result = DeleteLearnedKey(r.map, r.Device(), 0x30);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.release.outcome, c.release);
        EXPECT_FALSE(result.release.freedEntry);
        const bool deleted = c.outcome == DeleteOutcome::kDeleted;
        EXPECT_EQ(result.release.entryLeftInUse,
                  deleted ? std::optional<std::uint8_t>(2) : std::nullopt);
        EXPECT_EQ(KeyIsLearned(r.map.keySlots, 0x30), !deleted);
        if (!deleted) {
            EXPECT_EQ(r.KeyEntryHex(d::kSlotOfKey30), keyEntry);
        }
        EXPECT_TRUE(r.map.codeTable[2].inUse);
        ExpectConsistentAndInStep(r);
        EXPECT_EQ(Warnings(r), c.warnings);
    }
}

TEST(ClearLearnedKeys, ClearsEveryLearnedKeyInSlotOrderAndFreesWhatOnlyTheyUsed) {
    StartedRemote r(LearnedKeys());
    const RemoteMap before = r.map;

    const ClearResult result = ClearLearnedKeys(r.map, r.Device());

    EXPECT_EQ(result.outcome, ClearOutcome::kCleared);
    EXPECT_EQ(SlotsOf(result.cleared), kLearnedSlots);
    EXPECT_TRUE(result.failed.empty());
    // Entry 5 goes with the second of its twins; entry 0 stays with the downloaded keys 33, 34.
    EXPECT_EQ(result.FreedEntries(), (std::vector<FreedCodeEntry>{kEntry5, kEntry2}));
    EXPECT_TRUE(r.map.codeTable[0].inUse);

    // Key by key in slot order: the status byte twice, then the region when an entry was freed.
    const int region = r.map.codeTableAddress;
    const auto key = [&r](std::size_t slot) { return KeyEntryAt(r, slot); };
    EXPECT_EQ(WriteAddresses(r),
              (std::vector<int>{key(2), key(2), key(5), key(5), key(9), key(9), region, key(28),
                                key(28), region, key(34), key(34)}));
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kReadData), 5);

    for (std::size_t slot = 0; slot < before.keySlots.size(); ++slot) {
        const KeySlot& was = before.keySlots[slot];
        EXPECT_EQ(r.map.keySlots[slot],
                  was.state == SlotState::kLearned ? NotLearnedSlot(was.keyCode) : was)
            << "slot " << slot;
    }
    EXPECT_EQ(SlotText(r.map.keySlots[kSlotOfKey09]), "09|0");
    EXPECT_FALSE(AnyKeyLearned(r.map.keySlots));
    ExpectConsistentAndInStep(r);
    EXPECT_EQ(Warnings(r), std::vector<std::string>{}) << "no entry in use without a key";
}

TEST(ClearLearnedKeys, NothingLearnedReadsAndWritesNothing) {
    // Key 30's entry says downloaded.
    StartedRemote r(
        RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey30, {0x80, 0x00, 0x80, 0x02}));
    const RemoteMap before = r.map;

    const ClearResult result = ClearLearnedKeys(r.map, r.Device());

    EXPECT_EQ(result.outcome, ClearOutcome::kNothingLearned);
    EXPECT_TRUE(result.cleared.empty());
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kReadData), 0);
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
    EXPECT_EQ(r.map.keySlots, before.keySlots);
}

TEST(ClearLearnedKeys, AKeyThatCannotBeClearedStaysLearnedAndKeepsItsEntry) {
    struct Case {
        const char* name;
        std::optional<std::size_t> unreadableSlot;
        std::set<int> refusedWrites;  // numbered as in the clear that nothing disturbs
        std::vector<std::size_t> failed;
        ReleaseOutcome failure;
        std::vector<int> freed;
        std::vector<std::string> warnings;
    };
    const std::vector<Case> cases = {
        {"the first status write of key 02 refused, the second taken",
         {},
         {1},
         {},
         ReleaseOutcome::kReleased,
         {5, 2},
         {}},
        {"both status writes of key 02 refused",
         {},
         {1, 2},
         {kSlotOfKey02},
         ReleaseOutcome::kStatusNotWritten,
         {2},
         {}},
        {"both status writes of key 09 refused",
         {},
         {5, 6},
         {kSlotOfKey09},
         ReleaseOutcome::kStatusNotWritten,
         {2},
         {}},
        {"key 30's entry cannot be read",
         d::kSlotOfKey30,
         {},
         {d::kSlotOfKey30},
         ReleaseOutcome::kEntryNotReadable,
         {5},
         {}},
        // Every key is cleared; only the freeing of entry 5 did not reach the remote.
        {"the region freeing entry 5 refused",
         {},
         {7},
         {},
         ReleaseOutcome::kReleased,
         {2},
         {kEntry5LeftInUse}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(LearnedKeys());
        if (c.unreadableSlot)
            r.Sim().FailReadsAt(KeyEntryAt(r, *c.unreadableSlot));
        r.WatchWrites(c.refusedWrites);

        const ClearResult result = ClearLearnedKeys(r.map, r.Device());

        EXPECT_EQ(result.outcome,
                  c.failed.empty() ? ClearOutcome::kCleared : ClearOutcome::kPartlyCleared);
        EXPECT_EQ(SlotsOf(result.failed), c.failed);
        for (const KeyRelease& key : result.failed)
            EXPECT_EQ(key.outcome, c.failure);
        EXPECT_EQ(result.cleared.size() + result.failed.size(), kLearnedSlots.size());
        for (const std::size_t slot : c.failed)
            EXPECT_EQ(r.map.keySlots[slot].state, SlotState::kLearned);
        EXPECT_EQ(IndicesOf(result.FreedEntries()), c.freed);
        ExpectConsistentAndInStep(r);
        EXPECT_EQ(Warnings(r), c.warnings);
    }
}

// Each operation on the remote with five learned keys, for the tests of every write in turn.
struct Operation {
    const char* name;
    std::function<void(StartedRemote&)> run;
};
const std::vector<Operation> kOperations = {
    {"delete key 30", [](StartedRemote& r) { DeleteLearnedKey(r.map, r.Device(), 0x30); }},
    {"delete key 02, then its twin 09",
     [](StartedRemote& r) {
         DeleteLearnedKey(r.map, r.Device(), 0x02);
         DeleteLearnedKey(r.map, r.Device(), 0x09);
     }},
    {"clear", [](StartedRemote& r) { ClearLearnedKeys(r.map, r.Device()); }},
};

TEST(DeleteAndClear, AStopAfterAnyWriteLeavesTheRemoteConsistent) {
    for (const Operation& operation : kOperations) {
        SCOPED_TRACE(operation.name);
        StartedRemote r(LearnedKeys());
        r.WatchWrites();
        operation.run(r);
        ASSERT_FALSE(r.ImagesAfterWrites().empty());
        for (std::size_t k = 0; k < r.ImagesAfterWrites().size(); ++k) {
            SCOPED_TRACE("stopped after write " + std::to_string(k + 1));
            const RemoteMemoryCheck check = CheckRemoteMemory(r.ImagesAfterWrites()[k]);
            EXPECT_TRUE(check.Consistent()) << check.findings.front();
        }
    }
}

TEST(DeleteAndClear, ARefusedWriteAtAnyPointLeavesTheRemoteConsistentAndTheMapInStep) {
    for (const Operation& operation : kOperations) {
        SCOPED_TRACE(operation.name);
        int writes = 0;
        {
            StartedRemote clean(LearnedKeys());
            operation.run(clean);
            writes = clean.Sim().CallCount(DeviceCall::kWriteData);
        }
        for (int k = 1; k <= writes; ++k) {
            SCOPED_TRACE("write " + std::to_string(k) + " refused");
            StartedRemote r(LearnedKeys());
            r.WatchWrites({k});
            operation.run(r);
            ExpectConsistentAndInStep(r);
        }
    }
}

}  // namespace
