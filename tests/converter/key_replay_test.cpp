// What the keys of the default remote send, read from its memory as its firmware would: the
// downloaded codes it names directly, and the learned key whose raw record sits in the code
// area, which must be exactly the record the converter makes of that signal.
#include <gtest/gtest.h>

#include "converter/body_text.h"
#include "converter/convert.h"
#include "converter/quorvel_record.h"
#include "sim/key_replay.h"
#include "sim/remote_image_builder.h"

namespace ir_capture {
namespace {

TEST(KeyReplay, DefaultRemotesLearnedKeyHoldsTheConvertersOwnRecord) {
    const RemoteImage image = DefaultRemoteImage();
    const auto replay = ReplayKey(image, 0x30);
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->state, "learned");
    EXPECT_EQ(replay->form, "code entry 02");
    ASSERT_TRUE(replay->signal) << replay->problem;
    EXPECT_EQ(replay->protocol, "raw");
    // Learning what the key sends gives the id and data the remote holds.
    const std::string converted =
        quorvel::ConvertBody(quorvel::FormatBody(replay->signal->durations));
    EXPECT_EQ(converted.substr(0, 6), replay->codeId);
    EXPECT_EQ(converted.substr(converted.find(":::") + 3), "5204030A00F401E803204E1001001102");
}

TEST(KeyReplay, DirectCodesAndBuiltinIdsNameTheConvertersProtocols) {
    const RemoteImage image = DefaultRemoteImage();
    for (const std::string& id : default_remote::kBuiltinIds) {
        const auto byte = static_cast<std::uint8_t>(std::stoi(id.substr(0, 2), nullptr, 16));
        EXPECT_NE(quorvel::FindProtocolById(byte), nullptr) << id;
        EXPECT_FALSE(quorvel::IsShortId(byte << 16)) << id;
    }
    const auto key00 = ReplayKey(image, 0x00);
    ASSERT_TRUE(key00);
    EXPECT_EQ(key00->codeId, "220000");
    EXPECT_EQ(key00->protocol, "NEC1-f16 D=0 S=0 F=0");
    EXPECT_NE(DescribeReplay(0x00, *key00).find("sends NEC1-f16"), std::string::npos);

    const auto empty = ReplayKey(image, 0x01);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->signal);
    EXPECT_FALSE(ReplayKey(image, 0x99));          // no such key
    EXPECT_FALSE(ReplayKey(RemoteImage{}, 0x30));  // no memory map at all
}

}  // namespace
}  // namespace ir_capture
