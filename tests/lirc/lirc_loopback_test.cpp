// Sending and receiving through a real LIRC device that hears what it sends: the kernel's
// rc-loopback driver, loaded by a person (sudo modprobe rc-loopback), or the device named in
// KEYLEARN_LIRC_DEVICE (a transmitter facing a receiver of the same device). Where there is
// none, the test says why it is skipped.
#include <glob.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "lirc/lirc_device.h"
#include "lirc/lirc_messages.h"
#include "tests/support/recorded_streams.h"

namespace lirc {
namespace {

std::vector<std::string> LircDevices() {
    glob_t found{};
    std::vector<std::string> paths;
    if (::glob("/dev/lirc*", 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i)
            paths.emplace_back(found.gl_pathv[i]);
    }
    ::globfree(&found);
    return paths;
}

// Whether the rc device behind /dev/lircN is driven by rc-loopback.
bool IsLoopback(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    std::ifstream uevent("/sys/class/lirc/" + name + "/device/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line == "DRV_NAME=rc-loopback")
            return true;
    }
    return false;
}

struct Choice {
    std::string path;  // empty: none
    std::string whyNot;
};

Choice ChooseDevice() {
    if (const char* named = ::getenv("KEYLEARN_LIRC_DEVICE"); named && *named)
        return {named, {}};
    const std::vector<std::string> devices = LircDevices();
    if (devices.empty())
        return {{},
                "no /dev/lirc* device on this machine; load the loopback driver (sudo modprobe "
                "rc-loopback) to run this test"};
    std::string all;
    for (const std::string& device : devices) {
        if (IsLoopback(device))
            return {device, {}};
        all += (all.empty() ? "" : ", ") + device;
    }
    return {{},
            "none of " + all +
                " is rc-loopback's; load it (sudo modprobe rc-loopback), or name a device that "
                "hears what it sends in KEYLEARN_LIRC_DEVICE"};
}

TEST(LircLoopback, KeysSentThroughTheDeviceAreReceivedAndDecoded) {
    const Choice choice = ChooseDevice();
    if (choice.path.empty())
        GTEST_SKIP() << choice.whyNot;

    // The loopback hears the learning receiver only when the sender picks it: the ordinary
    // receiver, then. Frames of the keys below are at most 30 ms apart.
    const ReceiveOptions options{50000, false, true};
    ReceiverOpening receiving = OpenReceiver(choice.path, options);
    if (!receiving.receiver)
        GTEST_SKIP() << DescribeRefusal(choice.path, receiving.refusal, Use::kReceiving);
    TransmitterOpening sending = OpenTransmitter(choice.path);
    if (!sending.transmitter)
        GTEST_SKIP() << DescribeRefusal(choice.path, sending.refusal, Use::kSending);
    std::cout << choice.path << ": " << DescribeSetup(*receiving.receiver) << '\n';

    quorvel::Params sony;
    sony[quorvel::Param::kD] = 1;
    sony[quorvel::Param::kF] = 21;
    quorvel::Params rc5;
    rc5[quorvel::Param::kF] = 12;
    rc5[quorvel::Param::kT] = 1;
    const std::vector<std::pair<const char*, quorvel::Params>> keys = {
        {"NEC1", testing::Nec(4, 8)}, {"Sony12", sony}, {"RC5", rc5}};
    for (const auto& [protocol, params] : keys) {
        SCOPED_TRACE(protocol);
        const quorvel::ProtocolDef* def = quorvel::FindProtocol(protocol);
        const int repeats = def->name == "NEC1" ? 0 : def->defaultRepeats;
        const quorvel::Rendered key = quorvel::Render(*def, params, repeats);
        const SendResult sent = sending.transmitter->Send(key.durations, {key.carrierHz, 33});
        ASSERT_EQ(sent.outcome, SendOutcome::kSent)
            << DescribeSendFailure(choice.path, sent, {key.carrierHz, 33});

        StreamReading reading;
        do {
            reading = receiving.receiver->Next({3000, -1});
        } while (reading.event == StreamEvent::kOverflow);
        ASSERT_EQ(reading.event, StreamEvent::kSignal) << DescribeStreamEvent(choice.path, reading);
        const auto decoded = quorvel::Decode(reading.signal.durations, reading.signal.carrierHz);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->def->name, def->name);
        EXPECT_EQ(decoded->params, params);
        if (reading.signal.carrierHz != 0) {
            EXPECT_NEAR(reading.signal.carrierHz, key.carrierHz, key.carrierHz / 50);
        }
    }
}

}  // namespace
}  // namespace lirc
