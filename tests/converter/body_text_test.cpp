// The body the converter is handed, and the C entry point around it: whatever arrives, the
// answer is a record or an empty text, from any number of threads at once.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "converter/body_text.h"
#include "converter/convert.h"
#include "converter/ir_render.h"
#include "converter/quorvel.h"

namespace quorvel {
namespace {

TEST(BodyText, ReadsMarksSpacesAndPausesOfTheNormalisedBody) {
    // Two frames 34 ms apart; the final pause is the silence that ended the capture.
    const auto signal = ParseBody("021E049F021EFEFE0022EDED021E049F021EEDED");
    ASSERT_TRUE(signal);
    EXPECT_EQ(*signal, (Durations{542, -1183, 542, -34000, 542, -1183, 542}));
    EXPECT_EQ(*ParseBody("021E049F021EFEFE0014EDED"), (Durations{542, -1183, 542}));
    // A pause after a space lengthens it; lower case is read too.
    EXPECT_EQ(*ParseBody("021e049ffefe0022eded021eEDED"), (Durations{542, -35183, 542}));
    // Pauses one after another add up only to what a duration holds.
    std::string pauses = "021E";
    for (int i = 0; i < 70; ++i)
        pauses += "FEFE7FFFEDED";
    EXPECT_EQ(*ParseBody(pauses + "021EEDED"), (Durations{542, -2'147'483'647, 542}));
    EXPECT_NE(ConvertBody(pauses + "021EEDED"), "");
}

TEST(BodyText, FormatsWhatTheNormaliserMakesOfACapture) {
    EXPECT_EQ(FormatBody({542, -1183, 542, -20000}), "021E049F021EFEFE0014EDED");
    EXPECT_EQ(FormatBody({542, -34000, 542, -1183, 542, -100000}),
              "021EFEFE0022EDED021E049F021EEDED");
    EXPECT_EQ(FormatBody({542, -10980, 542}), "021E2AE4021EFEFE0014EDED");
    // What no capture holds comes out as a capture has it: a 20 us space as 58, a 30 ms mark
    // as 21786, a half-second pause as 218 ms, two spaces in a row as one.
    EXPECT_EQ(FormatBody({542, -20, 30000, -500000, 542, -600, -583, 542}),
              "021E003A551AFEFE00DAEDED021E049F021EEDED");
}

TEST(BodyText, BadInputGivesAnEmptyRecord) {
    const std::string valid = "021E049F021EFEFE0014EDED";
    const std::vector<std::string> bad = {
        "",
        "0",
        "021E049",                    // odd length
        "021E049F021E",               // no end
        "021E049F021EFEFE0014",       // pause not closed
        "021E049F021EFEFE0014EDEDX",  // text after the end
        "021E049F021EEDED021E",       // groups after the end
        "021G049F021EFEFE0014EDED",   // not hex
        "021E 049F021EFEFE0014EDED",
        "FEFE0014EDED",  // a pause without a frame
        "EDED",
        "0000049F021EFEFE0014EDED",                     // a mark of 0
        "021E0000021EFEFE0014EDED",                     // a space of 0
        "021E049F021EFEFE0000EDED021EEDED",             // a pause of 0
        "021E049F021EFEFEFEFEEDED",                     // a pause of no value
        "021E9000021EFEFE0014EDED",                     // past any duration a capture holds
        "FFFFFFC6049F021EFEFE0014EDED",                 // a negative mark in eight digits
        std::string(kMaxBodyLength + 4, '1') + "EDED",  // larger than any capture
    };
    for (const std::string& body : bad) {
        EXPECT_EQ(ConvertBody(body), "") << body.substr(0, 40);
        EXPECT_STREQ(ConvertCode(body.c_str(), QUORVEL_MODE), "") << body.substr(0, 40);
    }
    EXPECT_NE(ConvertBody(valid), "");
}

TEST(ConvertCodeEntry, AnswersOnlyModeTwoAndNeverANullPointer) {
    const char* body = "021E049F021E049F021E049F021EFEFE0014EDED";
    ASSERT_NE(ConvertCode(nullptr, QUORVEL_MODE), nullptr);
    EXPECT_STREQ(ConvertCode(nullptr, QUORVEL_MODE), "");
    EXPECT_STREQ(ConvertCode(body, 1), "");
    EXPECT_STREQ(ConvertCode(body, 0), "");
    EXPECT_EQ(std::string(ConvertCode(body, QUORVEL_MODE)), ConvertBody(body));
    EXPECT_NE(std::string(ConvertCode(body, QUORVEL_MODE)), "");
}

TEST(ConvertCodeEntry, ThreadsConvertAtOnceWithoutSeeingEachOthersResults) {
    std::vector<std::string> bodies;
    std::vector<std::string> expected;
    for (std::uint32_t f = 0; f < 8; ++f) {
        Params params;
        params[Param::kD] = 4;
        params[Param::kF] = f;
        bodies.push_back(FormatBody(Render(*FindProtocol("NEC2-f16"), params, 1).durations));
        expected.push_back(ConvertBody(bodies.back()));
    }
    std::vector<int> mismatches(bodies.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < bodies.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                const char* result = ConvertCode(bodies[t].c_str(), QUORVEL_MODE);
                if (expected[t] != result)
                    ++mismatches[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < bodies.size(); ++t)
        EXPECT_EQ(mismatches[t], 0) << t;
}

}  // namespace
}  // namespace quorvel
