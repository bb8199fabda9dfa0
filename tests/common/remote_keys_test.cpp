// The remote's key table: one key per code, in the order of the remote's key code list, with a
// picture for every code, the window's four keys where they have always been, and the names
// files use for a key finding it (and no other).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/remote_keys.h"

namespace {

using remote_keys::KeyNamed;
using remote_keys::Keys;

TEST(RemoteKeys, OneKeyPerCodeAndName) {
    std::set<std::string> names;
    int previous = -1;
    for (const remote_keys::RemoteKey& key : Keys()) {
        EXPECT_GT(key.code, previous) << key.function;  // slot order is code order
        EXPECT_LT(key.code, 0xA8) << key.function;      // the key pictures go up to A7
        previous = key.code;
        EXPECT_EQ(KeyNamed(key.function), &key) << key.function;
        EXPECT_TRUE(names.insert(remote_keys::NameForMatching(key.function)).second)
            << key.function;
        for (const std::string_view other : key.otherNames) {
            EXPECT_TRUE(names.insert(remote_keys::NameForMatching(other)).second) << other;
            EXPECT_EQ(KeyNamed(other), &key) << other;
        }
    }
    EXPECT_EQ(Keys().size(), 44u);
}

TEST(RemoteKeys, NamesAsFilesSpellThem) {
    const struct {
        const char* name;
        int code;  // -1: no key
    } cases[] = {
        {"Power", 0x00},
        {"POWER", 0x00},
        {"KEY_POWER", 0x00},
        {"Mute", 0x01},
        {"Vol_up", 0x30},
        {"VOL+", 0x30},
        {"KEY_VOLUMEUP", 0x30},
        {"Vol_dn", 0x33},
        {"vol-", 0x33},
        {"KEY_VOLUMEDOWN", 0x33},
        {"Ch_next", 0x31},
        {"CH+", 0x31},
        {"KEY_CHANNELUP", 0x31},
        {"Ch_prev", 0x32},
        {"0", 0x0C},
        {"KEY_9", 0x0B},
        {"OK", 0x40},
        {"KEY_ENTER", 0x40},
        {"Up", 0x34},
        {"Menu", 0x0E},
        {"Back", 0x11},
        {"Exit", 0x10},
        {"Info", 0x0F},
        {"Play", 0x43},
        {"Pause", 0xA0},
        {"Stop", 0xA7},
        {"Rew", 0x42},
        {"FF", 0x60},
        {"Rec", 0x61},
        {"Input", 0x02},
        {"Source", 0x02},
        {"Red", 0x19},
        {"Blue", 0x41},
        {"Key", -1},
        {"Volume", -1},
        {"", -1},
        {"KEY_", -1},
        {"Power2", -1},
    };
    for (const auto& c : cases) {
        const remote_keys::RemoteKey* key = KeyNamed(c.name);
        EXPECT_EQ(key ? key->code : -1, c.code) << c.name;
    }
    // The window's four keys.
    EXPECT_EQ(remote_keys::KeyWithCode(0x00)->function, "Power");
    EXPECT_EQ(remote_keys::KeyWithCode(0x01)->function, "Mute");
    EXPECT_EQ(remote_keys::KeyWithCode(0x30)->function, "Vol_up");
    EXPECT_EQ(remote_keys::KeyWithCode(0x33)->function, "Vol_dn");
    EXPECT_EQ(remote_keys::KeyWithCode(0x20), nullptr);
}

}  // namespace
