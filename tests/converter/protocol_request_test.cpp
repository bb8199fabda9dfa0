// A protocol request as people type it: what each protocol cannot do without, and the slips
// that are refused rather than guessed at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/protocol_request.h"

namespace {

using namespace quorvel;

TEST(ProtocolRequest, CarelessRequestsAreRefusedWithWhatIsWrong) {
    struct Case {
        std::vector<std::string> words;
        RequestRefusal refusal;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{}, RequestRefusal::kNoProtocol, "a protocol is needed"},
        {{"NoSuch"}, RequestRefusal::kUnknownProtocol, "unknown protocol NoSuch"},
        {{"NEC1"}, RequestRefusal::kMissingParameter, "NEC1 needs D=... F=...; missing: D, F"},
        {{"NEC1", "F=8"}, RequestRefusal::kMissingParameter, "missing: D"},
        {{"RC5", "D=1"}, RequestRefusal::kMissingParameter, "missing: F"},
        {{"Sony20", "D=1", "F=2"}, RequestRefusal::kMissingParameter, "missing: S"},
        {{"Kaseikyo", "D=1", "S=2", "F=3"}, RequestRefusal::kMissingParameter, "missing: M, N"},
        {{"NEC1", "D=4", "F=8", "F=9"}, RequestRefusal::kGivenTwice, "F is given twice"},
        {{"NEC1", "D=4", "d=4", "F=8"}, RequestRefusal::kGivenTwice, "D is given twice"},
        {{"NEC1", "D=4", "F=8", "--repeats", "1", "--repeats", "2"},
         RequestRefusal::kGivenTwice,
         "--repeats is given twice"},
        {{"NEC1", "D=4", "F=8", "--device", "a", "--device", "b"},
         RequestRefusal::kGivenTwice,
         "--device is given twice"},
        {{"NEC1", "D=256", "F=8"}, RequestRefusal::kOutOfRange, "NEC1 takes D from 0 to 255"},
        {{"NEC1", "D=4", "F=8", "--repeats", "101"}, RequestRefusal::kOutOfRange, "--repeats"},
        {{"NEC1", "T=1", "D=4", "F=8"},
         RequestRefusal::kNoSuchParameter,
         "NEC1 has no parameter T"},
        {{"NEC1", "D4"}, RequestRefusal::kMalformed, "expected NAME=VALUE"},
        {{"NEC1", "D=4", "F=8", "--repeats"},
         RequestRefusal::kMalformed,
         "--repeats needs a value"},
    };
    for (const Case& c : cases) {
        const auto request = ParseProtocolRequest(c.words);
        ASSERT_FALSE(request) << c.text;
        EXPECT_EQ(request.Problem().refusal, c.refusal) << c.text;
        EXPECT_NE(request.Problem().text.find(c.text), std::string::npos) << request.Problem().text;
    }
}

TEST(ProtocolRequest, WhatAProtocolDerivesOrDefaultsMayBeLeftOut) {
    // S of the NEC family is 255 - D, MCE's is 15; toggles and Kaseikyo's E start at 0.
    const auto nec = ParseProtocolRequest({"NEC1", "D=4", "F=8"});
    ASSERT_TRUE(nec) << nec.Problem().text;
    EXPECT_EQ(nec->params[Param::kS], 251u);
    const auto mce = ParseProtocolRequest({"MCE", "D=4", "F=8"});
    ASSERT_TRUE(mce) << mce.Problem().text;
    EXPECT_EQ(mce->params[Param::kS], 15u);
    EXPECT_TRUE(ParseProtocolRequest({"RC5", "D=4", "F=8"}));
    EXPECT_TRUE(ParseProtocolRequest({"Kaseikyo", "D=1", "S=2", "F=3", "M=4", "N=5"}));
    const auto given = ParseProtocolRequest({"NEC1", "F=8", "D=4", "S=7", "--repeats", "3"});
    ASSERT_TRUE(given);
    EXPECT_EQ(given->params[Param::kS], 7u);
    EXPECT_EQ(given->repeats, 3);
}

}  // namespace
