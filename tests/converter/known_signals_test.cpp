// Signals whose timing is known from outside this converter: each protocol's IRP definition
// written out by hand, with codes whose bits other tools and remotes document, and Pronto codes
// that people published with their decodes. The table both renders and decodes, so a wrong
// definition would pass every round trip; these catch it.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "converter/protocol_request.h"
#include "converter/signal_text.h"

namespace quorvel {
namespace {

// A signal as its IRP writes it: "+16" and "-8" a mark and a space of so many units, a run of
// 0 and 1 the bits in the order they are sent, "^108000" a lead-out up to so many µs from the
// frame's start. Neighbours of one level run together, as bi-phase half-bits do on the air.
Durations Expand(const std::string& irp, double unitUs, BitPattern zero, BitPattern one) {
    std::vector<double> levels;
    double frameUs = 0;
    auto add = [&](double us) {
        frameUs += std::fabs(us);
        if (!levels.empty() && (levels.back() > 0) == (us > 0))
            levels.back() += us;
        else
            levels.push_back(us);
    };
    std::istringstream tokens(irp);
    std::string token;
    while (tokens >> token) {
        if (token[0] == '^') {
            add(-(std::stod(token.substr(1)) - frameUs));
            frameUs = 0;
        } else if (token[0] == '+' || token[0] == '-') {
            add(std::stod(token) * unitUs);
        } else {
            for (char bit : token) {
                for (std::int8_t half : bit == '1' ? one : zero)
                    add(half * unitUs);
            }
        }
    }
    Durations out;
    for (double level : levels)
        out.push_back(static_cast<std::int32_t>(std::lround(level)));
    return out;
}

struct KnownRendering {
    std::vector<std::string> request;  // as irtool render takes it
    double unitUs;
    BitPattern zero;
    BitPattern one;
    std::uint32_t carrierHz;
    const char* irp;
};

TEST(KnownSignals, EveryProtocolRendersAsItsIrpWritesIt) {
    constexpr BitPattern kOneOne = {1, -1};
    constexpr BitPattern kOneThree = {1, -3};
    constexpr BitPattern kRc5Zero = {1, -1};
    constexpr BitPattern kRc5One = {-1, 1};
    const std::vector<KnownRendering> cases = {
        // The NEC example: S defaults to 255 - D; bytes 04 FB 08 F7, least significant bit
        // first, then the ditto of a held key.
        {{"NEC1", "D=4", "F=8", "--repeats", "1"},
         564,
         kOneOne,
         kOneThree,
         38400,
         "+16 -8 00100000 11011111 00010000 11101111 +1 ^108000 +16 -4 +1 ^108000"},
        {{"Pioneer", "D=160", "F=3"},
         564,
         kOneOne,
         kOneThree,
         40000,
         "+16 -8 00000101 11111010 11000000 00111111 +1 ^108000"},
        {{"NEC1-f16", "D=4", "S=5", "F=4660"},
         564,
         kOneOne,
         kOneThree,
         38400,
         "+16 -8 00100000 10100000 0010110001001000 +1 ^108000"},
        // Half the NEC header; its ditto carries the device's lowest bit.
        {{"NECx1", "D=7", "S=7", "F=2", "--repeats", "1"},
         564,
         kOneOne,
         kOneThree,
         38400,
         "+8 -8 11100000 11100000 01000000 10111111 +1 ^108000 +8 -8 1 +1 ^108000"},
        // Samsung's TV power, E0E040BF in the byte dumps of other tools.
        {{"Samsung32", "D=7", "S=7", "F=2"},
         560,
         kOneOne,
         kOneThree,
         38000,
         "+8 -8 11100000 11100000 01000000 10111111 +1 ^108000"},
        {{"Aiwa", "D=1", "S=2", "F=3", "--repeats", "1"},
         550,
         kOneOne,
         kOneThree,
         38000,
         "+16 -8 10000000 01000 01111111 10111 11000000 00111111 +1 -42 +16 -8 +1 -165"},
        // The repeats lack the header but keep the frame's period.
        {{"JVC", "D=3", "F=5", "--repeats", "1"},
         527,
         kOneOne,
         kOneThree,
         37900,
         "+16 -8 11000000 10100000 +1 ^59080 11000000 10100000 +1 ^46420"},
        // Sony's TV power, A90 as twelve bits; function before device.
        {{"Sony12", "D=1", "F=21", "--repeats", "0"},
         600,
         {1, -1},
         {2, -1},
         40000,
         "+4 -1 1010100 10000 ^45000"},
        {{"Sony15", "D=48", "F=18", "--repeats", "0"},
         600,
         {1, -1},
         {2, -1},
         40000,
         "+4 -1 0100100 00001100 ^45000"},
        {{"Sony20", "D=26", "S=226", "F=46", "--repeats", "0"},
         600,
         {1, -1},
         {2, -1},
         40000,
         "+4 -1 0111010 01011 01000111 ^45000"},
        // The TV standby of RC5, 100C as thirteen bits after the first start bit: the second
        // start bit is function bit 6 inverted.
        {{"RC5", "D=0", "F=12"}, 889, kRc5Zero, kRc5One, 36000, "+1 1 0 00000 001100 ^114000"},
        {{"RC5x", "D=1", "S=65", "F=2"},
         889,
         kRc5Zero,
         kRc5One,
         36000,
         "+1 0 0 00001 -4 000001 000010 ^114000"},
        // RC6's unit is 16 periods of 36 kHz; the toggle is the double-length trailer bit.
        {{"RC6", "D=4", "F=8", "T=1"},
         444.4,
         {-1, 1},
         {1, -1},
         36000,
         "+6 -2 1 000 +2 -2 00000100 00001000 ^107000"},
        // Media Center power, 800F040C: mode 6, a fixed trailer, 128, the 0F of Microsoft,
        // toggle, device, function.
        {{"MCE", "D=4", "F=12"},
         444.4,
         {-1, 1},
         {1, -1},
         36000,
         "+6 -2 1 110 -2 +2 10000000 00001111 0 0000100 00001100 ^107000"},
        // Panasonic's TV power, 40 04 01 00 BC BD in byte dumps: vendor 2002 hex, then D, S,
        // F and their XOR.
        {{"Panasonic", "D=128", "S=0", "F=61"},
         432,
         kOneOne,
         kOneThree,
         37000,
         "+8 -4 01000000 00000100 00000001 00000000 10111100 10111101 +1 -173"},
        // Vendor 3254 hex; check (16 ^ 2 ^ 30 hex ^ 12 hex) = 30 hex.
        {{"Denon-K", "D=1", "S=2", "F=291"},
         432,
         kOneOne,
         kOneThree,
         37000,
         "+8 -4 00101010 01001100 0000 1000 0100 110001001000 00001100 +1 -173"},
        // Sharp's vendor 170.90: vendor parity F, data parity 1 ^ 2 ^ 3 ^ 10 hex -> 1.
        {{"Kaseikyo", "M=170", "N=90", "D=1", "S=2", "F=3", "E=1"},
         432,
         kOneOne,
         kOneThree,
         37000,
         "+8 -4 01010101 01011010 1111 1000 01000000 11000000 1000 1000 +1 -173"},
        // A frame and its echo with the function inverted; the two-bit extensions tell Sharp
        // (1, 2) from Denon (0, 3).
        {{"Sharp", "D=1", "F=2"},
         264,
         {1, -3},
         {1, -7},
         38000,
         "10000 01000000 10 +1 -165 10000 10111111 01 +1 -165"},
        {{"Denon", "D=1", "F=2"},
         264,
         {1, -3},
         {1, -7},
         38000,
         "10000 01000000 00 +1 -165 10000 10111111 11 +1 -165"},
        // Most significant bit first.
        {{"RCA", "D=5", "F=60"},
         460,
         {1, -2},
         {1, -4},
         58000,
         "+8 -8 0101 00111100 1010 11000011 +1 -16"},
        // The lead-in comes once; the function goes most significant bit first.
        {{"Dish_Network", "F=1", "S=2", "D=3", "--repeats", "1"},
         406,
         {1, -7},
         {1, -4},
         57600,
         "+1 -15 000001 01000 11000 +1 -15 000001 01000 11000 +1 -15"},
        // Device bit 4 follows the toggle.
        {{"Thomson", "D=17", "F=5", "T=1"},
         500,
         {1, -4},
         {1, -9},
         33000,
         "1000 1 1 101000 +1 ^80000"},
    };
    for (const KnownRendering& known : cases) {
        const auto request = ParseProtocolRequest(known.request);
        ASSERT_TRUE(request) << request.Problem().text;
        const Rendered rendered = Render(*request->def, request->params, request->repeats);
        EXPECT_EQ(FormatMicroseconds(rendered.durations),
                  FormatMicroseconds(Expand(known.irp, known.unitUs, known.zero, known.one)))
            << known.request[0];
        EXPECT_EQ(rendered.carrierHz, known.carrierHz) << known.request[0];
    }
}

struct PublishedPronto {
    const char* pronto;
    const char* protocol;
    Params params;
};

Params DSF(std::uint32_t d, std::uint32_t s, std::uint32_t f, std::uint32_t t = 0) {
    Params params;
    params[Param::kD] = d;
    params[Param::kS] = s;
    params[Param::kF] = f;
    params[Param::kT] = t;
    return params;
}

TEST(KnownSignals, PublishedProntoCodesDecodeAsTheirPublishersDecodedThem) {
    const std::vector<PublishedPronto> cases = {
        // Sony receiver volume up, made by MakeHex.
        {"0000 0068 0000 0010 0060 0018 0018 0018 0030 0018 0018 0018 0018 0018 0030 0018 0018 "
         "0018 0018 0018 0018 0018 0018 0018 0018 0018 0018 0018 0030 0018 0030 0018 0018 0018 "
         "0018 0375",
         "Sony15", DSF(48, 0, 18)},
        // A Sony Blu-ray player's power on, learned: three frames, and the lead-out of the last
        // cut to 0019 where the learning stopped.
        {"0000 0066 003f 0000 0060 0019 0019 0018 0030 0018 0030 0018 0030 0018 0019 0018 0030 "
         "0018 0019 0018 0019 0018 0030 0018 0019 0018 0030 0018 0030 0018 0019 0018 0030 0018 "
         "0019 0018 0019 0018 0019 0018 0030 0018 0030 0018 0030 01e0 0060 0019 0019 0018 0030 "
         "0018 0030 0018 0030 0018 0019 0018 0030 0018 0019 0018 0019 0018 0030 0018 0019 0018 "
         "0030 0018 0030 0018 0019 0018 0030 0018 0019 0018 0019 0018 0019 0018 0030 0018 0030 "
         "0018 0030 01e0 0060 0019 0019 0018 0030 0018 0030 0018 0030 0018 0019 0018 0030 0018 "
         "0019 0018 0019 0018 0030 0018 0019 0018 0030 0018 0030 0018 0019 0018 0030 0018 0019 "
         "0018 0019 0018 0019 0018 0030 0018 0030 0018 0030 0019",
         "Sony20", DSF(26, 226, 46)},
        {"0000 0073 0000 000A 0020 0020 0040 0020 0020 0040 0020 0020 0040 0040 0040 0020 0020 "
         "0040 0020 0020 0040 0040 0020 0CA8",
         "RC5", DSF(13, 0, 13)},
        // Two frames of RC5 device 16 function 1, the second lead-out cut short.
        {"0000 0073 0000 001A 0020 0020 0020 0020 0020 0020 0040 0020 0020 0020 0020 0020 0020 "
         "0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0040 0020 0CA5 0020 0020 0020 0020 "
         "0020 0020 0040 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 "
         "0020 0020 0040 0020 0497",
         "RC5", DSF(16, 0, 1, 1)},
    };
    for (const PublishedPronto& known : cases) {
        const auto signal = ParsePronto(known.pronto);
        ASSERT_TRUE(signal) << known.pronto;
        const auto decoded = Decode(signal->durations, signal->carrierHz);
        ASSERT_TRUE(decoded) << known.protocol << ": " << known.pronto;
        EXPECT_EQ(decoded->def->name, known.protocol);
        for (Param p : {Param::kD, Param::kS, Param::kF, Param::kT}) {
            if (decoded->def->HasParam(p)) {
                EXPECT_EQ(decoded->params[p], known.params[p])
                    << known.protocol << " parameter " << kParamNames[static_cast<int>(p)];
            }
        }
    }
}

TEST(KnownSignals, DurationsTooLongForASignalAreRefusedNotOverflowed) {
    // Many long durations of one level run together: a text or a remote's memory can hold them.
    std::string marks;
    for (int i = 0; i < 300; ++i)
        marks += "+9999999 ";
    EXPECT_FALSE(ParseMicroseconds(marks));
    EXPECT_EQ(ParseMicroseconds("+100 +200 -300 -400")->durations, (Durations{300, -700}));

    Durations runTogether;
    for (int i = 0; i < 300; ++i) {
        runTogether.push_back(2'000'000'000);
        runTogether.push_back(0);
    }
    EXPECT_EQ(Tidy(runTogether), (Durations{2'147'483'647}));
    EXPECT_FALSE(Decode(runTogether));
    EXPECT_EQ(CountFrames(runTogether), 1);
}

}  // namespace
}  // namespace quorvel
