// The signal file writers: what each format holds of a signal must read back (through the
// converter's own readers and decoder) as the signal written, names and order kept, and an
// unmeasured carrier written as the usual one.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "converter/flipper_file.h"
#include "converter/hex_text.h"
#include "converter/ir_decode.h"
#include "converter/pronto_file.h"
#include "converter/protocol_request.h"
#include "converter/protocol_text_file.h"
#include "converter/signal_text.h"

namespace quorvel {
namespace {

Rendered RenderedRequest(const std::vector<std::string>& words) {
    const auto request = ParseProtocolRequest(words);
    EXPECT_TRUE(request) << request.Problem().text;
    return request ? Render(*request->def, request->params, request->repeats) : Rendered{};
}

// A signal of no protocol and no frames of its own, as a raw record replays it: carrier unknown.
Rendered RawSignal() {
    Rendered raw;
    raw.durations = {3000, -1000, 500, -1500, 500, -500, 1500, -30000};
    raw.frameStarts = {0};
    return raw;
}

std::string Hex4(std::size_t value) {
    std::string text;
    AppendHex(text, static_cast<std::uint32_t>(value), 4);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The text after "NAME\t" of each line, checking the names.
std::vector<std::string> ValuesNamed(const std::string& file,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> values;
    const std::vector<std::string> lines = Lines(file);
    EXPECT_EQ(lines.size(), names.size()) << file;
    for (std::size_t i = 0; i < lines.size() && i < names.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, names[i].size() + 1), names[i] + '\t') << lines[i];
        values.push_back(lines[i].substr(names[i].size() + 1));
    }
    return values;
}

TEST(SignalFiles, ProntoKeepsTheFirstFrameOnceAndRepeatsTheRest) {
    const Rendered nec = RenderedRequest({"NEC2", "D=4", "F=8", "--repeats", "2"});
    const std::vector<std::string> pronto =
        ValuesNamed(WriteProntoFile({{"01", nec}, {"1F", RawSignal()}}), {"01", "1F"});
    ASSERT_EQ(pronto.size(), 2u);

    // The once sequence is the first frame, the repeat sequence the repeat frames after it.
    const std::size_t firstFrame = nec.frameStarts.at(1);
    EXPECT_EQ(pronto[0].substr(10, 9),
              Hex4(firstFrame / 2) + " " + Hex4((nec.durations.size() - firstFrame) / 2));
    const std::optional<TextSignal> read = ParsePronto(pronto[0]);
    ASSERT_TRUE(read);
    EXPECT_NEAR(read->carrierHz, nec.carrierHz, 200);
    const std::optional<Decoded> decoded = Decode(read->durations, read->carrierHz);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(ProtocolText(*decoded), "NEC2 D=4 S=251 F=8");
    EXPECT_EQ(decoded->repeats, 2);

    // A signal without frames is all once, at the usual carrier when none was measured.
    EXPECT_EQ(pronto[1].substr(0, 19), "0000 006D 0004 0000");
    EXPECT_EQ(ProntoText(RawSignal()), pronto[1]);
    ASSERT_TRUE(ParsePronto(pronto[1]));
    EXPECT_EQ(ParsePronto(pronto[1])->durations.size(), RawSignal().durations.size());
    EXPECT_EQ(WriteProntoFile({}), "");
}

TEST(SignalFiles, ProtocolTextNamesTheProtocolOrGivesTheMicroseconds) {
    const std::vector<std::string> texts = ValuesNamed(
        WriteProtocolTextFile(
            {{"01", RenderedRequest({"NEC1", "D=4", "F=8"})},
             {"02", RenderedRequest({"RC5", "D=3", "F=9"})},
             {"03", RenderedRequest({"Kaseikyo", "D=1", "S=2", "F=3", "M=4", "N=5", "E=6"})},
             {"30", RawSignal()}}),
        {"01", "02", "03", "30"});
    ASSERT_EQ(texts.size(), 4u);
    // Only the parameters the protocol carries, in the order irtool render reads them.
    EXPECT_EQ(texts[0], "NEC1 D=4 S=251 F=8");
    EXPECT_EQ(texts[1], "RC5 D=3 F=9 T=0");
    EXPECT_EQ(texts[2], "Kaseikyo D=1 S=2 F=3 E=6 M=4 N=5");
    for (std::size_t i = 0; i < 3; ++i) {
        std::istringstream words(texts[i]);
        std::vector<std::string> request;
        for (std::string word; words >> word;)
            request.push_back(word);
        EXPECT_EQ(SignalProtocolText(RenderedRequest(request)), texts[i]);
    }
    ASSERT_EQ(texts[3].substr(0, 4), "raw ");
    const std::optional<TextSignal> raw = ParseMicroseconds(texts[3].substr(4));
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->durations, RawSignal().durations);
}

TEST(SignalFiles, FlipperFileHoldsEveryKeyAsARawSignal) {
    const Rendered sony = RenderedRequest({"Sony12", "D=1", "F=21"});
    const std::string file = WriteFlipperFile({{"05", sony}, {"30", RawSignal()}});
    const std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 2u + 2 * 6);
    EXPECT_EQ(lines[0], "Filetype: IR signals file");
    EXPECT_EQ(lines[1], "Version: 1");
    const struct {
        std::string name;
        std::uint32_t frequency;
        const Rendered& signal;
    } keys[] = {{"05", sony.carrierHz, sony}, {"30", kUsualCarrierHz, RawSignal()}};
    for (std::size_t k = 0; k < 2; ++k) {
        const std::size_t at = 2 + 6 * k;
        EXPECT_EQ(lines[at], "#");
        EXPECT_EQ(lines[at + 1], "name: " + keys[k].name);
        EXPECT_EQ(lines[at + 2], "type: raw");
        EXPECT_EQ(lines[at + 3], "frequency: " + std::to_string(keys[k].frequency));
        EXPECT_EQ(lines[at + 4], "duty_cycle: 0.330000");
        ASSERT_EQ(lines[at + 5].substr(0, 6), "data: ");
        // Unsigned, alternating from a mark: read back as the signal written.
        EXPECT_EQ(lines[at + 5].find('-'), std::string::npos);
        const std::optional<TextSignal> data = ParseMicroseconds(lines[at + 5].substr(6));
        ASSERT_TRUE(data);
        EXPECT_EQ(data->durations, keys[k].signal.durations);
    }
    EXPECT_EQ(ProtocolText(*Decode(ParseMicroseconds(lines[7].substr(6))->durations)),
              "Sony12 D=1 F=21");
    EXPECT_EQ(WriteFlipperFile({}), "Filetype: IR signals file\nVersion: 1\n");
}

}  // namespace
}  // namespace quorvel
