// Leaked code-table entries (in use, no key pointing at them): which ones are, and learning
// that finds the table full or no room frees exactly those first, never an entry a downloaded
// key uses, and nothing when the key table is not known whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "learning/leaked_entries.h"
#include "learning/write_learned_code.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "tests/support/started_remote.h"

namespace {

// Keys 01 to 04 and a full table of three entries over 16 units:
//   entry 0 (units 0-1)  key 02's downloaded code
//   entry 1 (units 2-3)  no key: key 01 was deleted (status 00) but its entry still names it
//   entry 2 (units 4-5)  key 03's learned code
// Key 04 holds a code named directly.
RemoteImageBuilder FullRemoteWithALeak() {
    return RemoteImageBuilder()
        .Keys({0x01, 0x02, 0x03, 0x04})
        .CodeTableCount(3)
        .CodeAreaUnits(16)
        .CodeEntry(0, "A00001", 0, 2)
        .CodeEntry(1, "A00002", 2, 2)
        .CodeEntry(2, "A00003", 4, 2)
        .KeyEntry(0, {0x00, 0x00, 0x80, 0x01, 0xFF, 0xFF})
        .KeyEntry(1, {0x80, 0x00, 0x80, 0x00, 0x00, 0x10})
        .KeyEntry(2, {0xC0, 0x00, 0x80, 0x02, 0xFF, 0xFF})
        .KeyEntry(3, {0x80, 0x00, 0x00, 0x22, 0x00, 0x00});
}

// A code new to the remote, two units of data.
const std::string kNewCode = "123456::AA:BB:::" + std::string(32, '1');

TEST(LeakedEntries, AreTheEntriesInUseThatNoKeyHoldingACodePointsAt) {
    StartedRemote r(FullRemoteWithALeak());
    EXPECT_EQ(LeakedCodeEntries(r.map), std::vector<std::uint8_t>{1});
    EXPECT_EQ(CheckRemoteMemory(r.Sim().Image()).warnings,
              std::vector<std::string>{"entry 1 is in use but no key points at it"});

    // A key entry never read may point anywhere: then nothing is provably unused.
    RemoteMap unread = r.map;
    unread.keySlots[3].state = SlotState::kNotRead;
    EXPECT_TRUE(LeakedCodeEntries(unread).empty());
}

TEST(LeakedEntries, LearningIntoAFullTableReclaimsThemFirstWhenAllowed) {
    {
        SCOPED_TRACE("left alone");
        StartedRemote r(FullRemoteWithALeak());
        const RemoteImage before = r.Sim().Image();
        const LearnResult result = WriteLearnedCode(r.map, r.Device(), 0x01, kNewCode);
        EXPECT_EQ(result.outcome, LearnOutcome::kNoFreeCodeEntry);
        EXPECT_EQ(r.Sim().Image().banks, before.banks);
    }
    {
        SCOPED_TRACE("reclaimed when full");
        StartedRemote r(FullRemoteWithALeak());
        const LearnResult result =
            WriteLearnedCode(r.map, r.Device(), 0x01, kNewCode, LeakedEntries::kReclaimedWhenFull);
        EXPECT_EQ(result.outcome, LearnOutcome::kLearnedNewEntry);
        ASSERT_EQ(result.reclaimed.size(), 1u);
        EXPECT_EQ(result.reclaimed[0].index, 1);
        EXPECT_EQ(result.learnedCodeRef, "01FFFF");
        // The downloaded key's and the learned key's entries are untouched.
        EXPECT_EQ(CodeEntryText(r.map.codeTable[0]), "A00001008002");
        EXPECT_EQ(CodeEntryText(r.map.codeTable[2]), "A00003048002");
        const RemoteMemoryCheck check = CheckRemoteMemory(r.Sim().Image());
        EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
        EXPECT_TRUE(check.warnings.empty());
        ExpectConsistentAndInStep(r);
    }
    {
        SCOPED_TRACE("nothing leaked: still full");
        StartedRemote r(FullRemoteWithALeak().KeyEntry(0, {0xC0, 0x00, 0x80, 0x01, 0xFF, 0xFF}));
        const LearnResult result =
            WriteLearnedCode(r.map, r.Device(), 0x04, kNewCode, LeakedEntries::kReclaimedWhenFull);
        EXPECT_EQ(result.outcome, LearnOutcome::kNoFreeCodeEntry);
        EXPECT_TRUE(result.reclaimed.empty());
        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 0);
    }
}

TEST(LeakedEntries, ReclaimingFreesEveryLeakedEntryInOneWriteAndAFailedOneNothing) {
    // Entries 1 and 2 both leaked (key 03 holds no code either).
    const RemoteImageBuilder twoLeaks = FullRemoteWithALeak().KeyEntry(2, {0x00});
    {
        StartedRemote r(twoLeaks);
        const EntryReclaim reclaim = ReclaimLeakedEntries(r.map, r.Device());
        EXPECT_EQ(reclaim.outcome, EntryReclaim::Outcome::kReclaimed);
        ASSERT_EQ(reclaim.freed.size(), 2u);
        EXPECT_EQ(r.Sim().CallCount(DeviceCall::kWriteData), 1);
        EXPECT_TRUE(LeakedCodeEntries(r.map).empty());
        EXPECT_TRUE(CheckRemoteMemory(r.Sim().Image()).warnings.empty());
        ExpectConsistentAndInStep(r);
    }
    {
        StartedRemote r(twoLeaks);
        r.Sim().FailNthWrite(1);
        const EntryReclaim reclaim = ReclaimLeakedEntries(r.map, r.Device());
        EXPECT_EQ(reclaim.outcome, EntryReclaim::Outcome::kNotWritten);
        EXPECT_EQ(LeakedCodeEntries(r.map).size(), 2u);
        ExpectConsistentAndInStep(r);
    }
}

}  // namespace
