// Presses as real remotes and receivers shape them, where a protocol's definition says
// otherwise: a last copy cut off part-way, Dish Network with a lead-in before every copy, an
// NECx lead-in mark the receiver lost, Sony one-marks well short of nominal. Each is made from
// the nominal rendering the way the remote or receiver departs from it.
#include <gtest/gtest.h>

#include <cmath>

#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "converter/protocol_request.h"

namespace quorvel {
namespace {

ProtocolRequest Request(const std::vector<std::string>& words) {
    auto request = ParseProtocolRequest(words);
    EXPECT_TRUE(request) << request.Problem().text;
    return request ? *request : ProtocolRequest{};
}

Rendered RenderRequest(const ProtocolRequest& request) {
    return Render(*request.def, request.params, request.repeats);
}

struct CutCase {
    std::vector<std::string> request;  // as irtool render takes it
    std::size_t kept;                  // durations of the last copy that were sent
};

TEST(RemoteShapes, APressCutOffInItsLastCopyDecodesFromTheCompleteOnes) {
    const std::vector<CutCase> cases = {
        // RCA's timing at 38 kHz: a 24-bit frame, then the lead-in and 12 bits of a second copy.
        {{"RCA", "D=5", "F=60", "--repeats", "1"}, 2 + 2 * 12},
        // The mark of a ditto.
        {{"NEC1", "D=4", "F=8", "--repeats", "2"}, 1},
        // Half a frame of a protocol that repeats whole frames: the one that repeats dittos
        // would have said so by now.
        {{"NEC2", "D=4", "F=8", "--repeats", "1"}, 40},
        {{"JVC", "D=3", "F=5", "--repeats", "2"}, 11},
        {{"Sony12", "D=1", "F=21", "--repeats", "2"}, 9},
        {{"RC5", "D=5", "F=33", "--repeats", "1"}, 7},
        {{"RC6", "D=4", "F=8", "T=1", "--repeats", "1"}, 9},
        {{"Dish_Network", "F=1", "S=2", "D=3", "--repeats", "2"}, 13},
        // In the echo of the second frame.
        {{"Sharp", "D=1", "F=2", "--repeats", "1"}, 40},
    };
    for (const CutCase& cut : cases) {
        const ProtocolRequest request = Request(cut.request);
        const Rendered sent = RenderRequest(request);
        Durations signal(sent.durations.begin(),
                         sent.durations.begin() + sent.frameStarts.back() + cut.kept);
        // As the key let go; then as a capture that filled up inside the last mark.
        for (const bool markCut : {false, true}) {
            if (markCut) {
                std::int32_t& last =
                    signal[signal.back() > 0 ? signal.size() - 1 : signal.size() - 2];
                last = last * 2 / 5;
            }
            const std::string context = cut.request[0] + (markCut ? ", its last mark cut" : "");
            const auto decoded = Decode(signal);
            ASSERT_TRUE(decoded) << context;
            EXPECT_EQ(decoded->def->name, cut.request[0]) << context;
            EXPECT_EQ(decoded->params, request.params) << context;
            EXPECT_EQ(decoded->repeats, request.repeats - 1) << context;
        }
    }
}

// Dish Network as the remotes of satellite receivers send it: every copy a frame of its own
// with a lead-in of a short mark and 6 ms, bit marks 15 % over nominal, a trailing mark of
// 480 µs and 6.2 ms, at 56 kHz.
Durations SatellitePress(const Params& params, int copies) {
    const Durations nominal = Render(*FindProtocol("Dish_Network"), params, 0).durations;
    Durations press;
    for (int copy = 0; copy < copies; ++copy) {
        press.insert(press.end(), {390, -6000});
        for (std::size_t bit = 2; bit < 34; bit += 2)
            press.insert(press.end(), {460, nominal[bit + 1] < -2200 ? -2750 : -1650});
        press.insert(press.end(), {480, -6200});
    }
    return press;
}

TEST(RemoteShapes, DishNetworkWithALeadInBeforeEveryCopy) {
    const Params params = Request({"Dish_Network", "D=0", "S=8", "F=21"}).params;
    const Durations press = SatellitePress(params, 4);
    for (const auto& [what, signal, repeats] : std::vector<std::tuple<const char*, Durations, int>>{
             {"four copies", press, 3},
             {"without the first lead-in", Durations(press.begin() + 2, press.end()), 3},
             // 36 durations a copy: the lead-in and eight bits of the second.
             {"cut in its second copy", Durations(press.begin(), press.begin() + 36 + 18), 0},
         }) {
        const auto decoded = Decode(signal, 56000);
        ASSERT_TRUE(decoded) << what;
        EXPECT_EQ(decoded->def->name, "Dish_Network") << what;
        EXPECT_EQ(decoded->params, params) << what;
        EXPECT_EQ(decoded->repeats, repeats) << what;
    }
}

TEST(RemoteShapes, AnNecxLeadInMarkTheReceiverLostIsToldByTheCopiesAfterIt) {
    auto withLostLeadInMark = [](const std::vector<std::string>& words) {
        Durations signal = RenderRequest(Request(words)).durations;
        signal[0] = 290;
        signal[1] = -5000;
        return signal;
    };
    for (const char* protocol : {"NECx1", "Samsung32"}) {
        const std::vector<std::string> words = {protocol, "D=7", "S=7", "F=2", "--repeats", "1"};
        const auto decoded = Decode(withLostLeadInMark(words));
        ASSERT_TRUE(decoded) << protocol;
        EXPECT_EQ(decoded->def->name, protocol);
        EXPECT_EQ(decoded->params, Request(words).params) << protocol;
        EXPECT_EQ(decoded->repeats, 1) << protocol;
    }
    // A frame alone reads as NEC1 as well as NECx1 once its lead-in mark is gone.
    EXPECT_FALSE(Decode(withLostLeadInMark({"NECx1", "D=7", "S=7", "F=2", "--repeats", "0"})));
}

TEST(RemoteShapes, SonyOneMarksAtFourFifthsOfNominalStillReadAsOnes) {
    // One-marks of 960 µs, the remote's clock 3 % slow, and the normaliser's 58 µs taken from
    // every mark and given to every space: the last bit's mark, whose space runs into the
    // lead-out, lies nearer a nominal zero than a nominal one.
    for (const char* device : {"D=16", "D=31", "D=15", "D=0"}) {
        for (const char* function : {"F=0", "F=127", "F=85"}) {
            const ProtocolRequest request = Request({"Sony12", device, function});
            Durations signal = RenderRequest(request).durations;
            for (std::int32_t& d : signal) {
                if (d == 1200)
                    d = 960;
                // 58 µs off a mark, onto a space (negative).
                d = static_cast<std::int32_t>(std::lround(d * 0.97)) - 58;
            }
            const auto decoded = Decode(signal);
            ASSERT_TRUE(decoded) << device << " " << function;
            EXPECT_EQ(decoded->params, request.params) << device << " " << function;
        }
    }
}

}  // namespace
}  // namespace quorvel
