// What the device layer sets on a LIRC device for each feature it offers or lacks, told by a
// stand-in device; and its refusals of real paths that are no LIRC device.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <map>

#include "lirc/device_setup.h"
#include "lirc/lirc_device.h"
#include "lirc/lirc_messages.h"
#include "tests/lirc/fake_device_control.h"

namespace lirc {
namespace {

using testing::FakeDeviceControl;
using SetValues = std::map<unsigned long, std::uint32_t>;

SetValues WhatWasSet(const FakeDeviceControl& device) {
    SetValues values;
    for (const auto& [request, value] : device.set)
        values[request] = value;
    return values;
}

constexpr std::uint32_t kMceTransceiver =
    LIRC_CAN_REC_MODE2 | LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_REC_TIMEOUT |
    LIRC_CAN_USE_WIDEBAND_RECEIVER | LIRC_CAN_MEASURE_CARRIER | LIRC_CAN_GET_REC_RESOLUTION |
    LIRC_CAN_SET_SEND_CARRIER | LIRC_CAN_SET_TRANSMITTER_MASK;

TEST(ConfigureReceiver, WhatIsSetFollowsWhatTheDeviceOffers) {
    struct Case {
        const char* name;
        std::uint32_t features;
        std::map<unsigned long, std::uint32_t> answers;
        std::map<unsigned long, int> refusals;
        ReceiveOptions options;
        ReceiverSetup expected;
        SetValues set;
    };
    const ReceiveOptions off{kSignalEndUs, false, false};
    const std::map<unsigned long, std::uint32_t> mceAnswers = {{LIRC_GET_MIN_TIMEOUT, 1000},
                                                               {LIRC_GET_MAX_TIMEOUT, 1250000},
                                                               {LIRC_GET_REC_RESOLUTION, 50}};
    const std::vector<Case> cases = {
        {"a plain receiver: mode2 and nothing to set",
         LIRC_CAN_REC_MODE2,
         {},
         {},
         {},
         {LIRC_CAN_REC_MODE2, 0, false, false, 0},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2}, {LIRC_SET_REC_TIMEOUT_REPORTS, 1}}},
        {"a transceiver with a learning receiver: everything on",
         kMceTransceiver,
         mceAnswers,
         {},
         {},
         {kMceTransceiver, kSignalEndUs, true, true, 50},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2},
          {LIRC_SET_REC_TIMEOUT, kSignalEndUs},
          {LIRC_SET_REC_TIMEOUT_REPORTS, 1},
          {LIRC_SET_WIDEBAND_RECEIVER, 1},
          {LIRC_SET_MEASURE_CARRIER_MODE, 1}}},
        {"asked off, what the device offers is switched off",
         kMceTransceiver,
         mceAnswers,
         {},
         off,
         {kMceTransceiver, kSignalEndUs, false, false, 50},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2},
          {LIRC_SET_REC_TIMEOUT, kSignalEndUs},
          {LIRC_SET_REC_TIMEOUT_REPORTS, 1},
          {LIRC_SET_WIDEBAND_RECEIVER, 0},
          {LIRC_SET_MEASURE_CARRIER_MODE, 0}}},
        {"a timeout past the device's most is its most",
         LIRC_CAN_REC_MODE2 | LIRC_CAN_SET_REC_TIMEOUT,
         {{LIRC_GET_MIN_TIMEOUT, 1000}, {LIRC_GET_MAX_TIMEOUT, 100000}},
         {},
         {},
         {LIRC_CAN_REC_MODE2 | LIRC_CAN_SET_REC_TIMEOUT, 100000, false, false, 0},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2},
          {LIRC_SET_REC_TIMEOUT, 100000},
          {LIRC_SET_REC_TIMEOUT_REPORTS, 1}}},
        {"a device that takes the next greater timeout tells it",
         LIRC_CAN_REC_MODE2 | LIRC_CAN_SET_REC_TIMEOUT,
         {{LIRC_GET_REC_TIMEOUT, 131072}},
         {},
         {},
         {LIRC_CAN_REC_MODE2 | LIRC_CAN_SET_REC_TIMEOUT, 131072, false, false, 0},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2},
          {LIRC_SET_REC_TIMEOUT, kSignalEndUs},
          {LIRC_SET_REC_TIMEOUT_REPORTS, 1}}},
        {"refused settings leave the device as it was",
         kMceTransceiver,
         mceAnswers,
         {{LIRC_SET_REC_TIMEOUT, EINVAL},
          {LIRC_SET_WIDEBAND_RECEIVER, EINVAL},
          {LIRC_SET_MEASURE_CARRIER_MODE, EINVAL}},
         {},
         {kMceTransceiver, 0, false, false, 50},
         {{LIRC_SET_REC_MODE, LIRC_MODE_MODE2}, {LIRC_SET_REC_TIMEOUT_REPORTS, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDeviceControl device(c.features);
        device.answers.insert(c.answers.begin(), c.answers.end());
        device.refusals = c.refusals;
        const ReceiverConfiguration configured = ConfigureReceiver(device, c.options);
        EXPECT_EQ(configured.refusal.reason, DeviceRefusal::kNone);
        EXPECT_EQ(configured.setup, c.expected);
        EXPECT_EQ(WhatWasSet(device), c.set);
    }
}

TEST(ConfigureDevice, DevicesThatCannotDoWhatIsAskedAreRefused) {
    struct Case {
        const char* name;
        Use use;
        std::uint32_t features;
        std::map<unsigned long, std::uint32_t> answers;
        std::map<unsigned long, int> refusals;
        DeviceRefusal expected;
    };
    const std::vector<Case> cases = {
        {"no answer to the features",
         Use::kReceiving,
         0,
         {},
         {{LIRC_GET_FEATURES, ENOTTY}},
         DeviceRefusal::kNotLircDevice},
        {"unplugged while asked",
         Use::kReceiving,
         0,
         {},
         {{LIRC_GET_FEATURES, ENODEV}},
         DeviceRefusal::kGone},
        {"a transmitter only",
         Use::kReceiving,
         LIRC_CAN_SEND_PULSE,
         {},
         {},
         DeviceRefusal::kCannotReceiveRaw},
        {"a receiver that decodes in hardware",
         Use::kReceiving,
         LIRC_CAN_REC_SCANCODE,
         {},
         {},
         DeviceRefusal::kCannotReceiveRaw},
        {"mode2 refused",
         Use::kReceiving,
         LIRC_CAN_REC_MODE2,
         {},
         {{LIRC_SET_REC_MODE, EINVAL}},
         DeviceRefusal::kModeRefused},
        {"no answer to the features, sending",
         Use::kSending,
         0,
         {},
         {{LIRC_GET_FEATURES, ENOTTY}},
         DeviceRefusal::kNotLircDevice},
        {"a receiver only", Use::kSending, LIRC_CAN_REC_MODE2, {}, {}, DeviceRefusal::kCannotSend},
        {"in scancode mode, pulses refused",
         Use::kSending,
         LIRC_CAN_SEND_PULSE,
         {{LIRC_GET_SEND_MODE, LIRC_MODE_SCANCODE}},
         {{LIRC_SET_SEND_MODE, EINVAL}},
         DeviceRefusal::kModeRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDeviceControl device(c.features);
        device.answers.insert(c.answers.begin(), c.answers.end());
        device.refusals = c.refusals;
        const Refusal refusal = c.use == Use::kReceiving ? ConfigureReceiver(device, {}).refusal
                                                         : ConfigureTransmitter(device).refusal;
        EXPECT_EQ(refusal.reason, c.expected);
    }
}

TEST(ConfigureTransmitter, TheSendModeIsPulsesWhateverItWas) {
    struct Case {
        const char* name;
        std::map<unsigned long, std::uint32_t> answers;
        SetValues set;
    };
    const std::vector<Case> cases = {
        {"already pulses", {{LIRC_GET_SEND_MODE, LIRC_MODE_PULSE}}, {}},
        {"left in scancode mode",
         {{LIRC_GET_SEND_MODE, LIRC_MODE_SCANCODE}},
         {{LIRC_SET_SEND_MODE, LIRC_MODE_PULSE}}},
        {"a kernel without send modes", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDeviceControl device(LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER);
        device.answers.insert(c.answers.begin(), c.answers.end());
        const TransmitterConfiguration configured = ConfigureTransmitter(device);
        EXPECT_FALSE(configured.refusal);
        EXPECT_EQ(configured.features, LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER);
        EXPECT_EQ(WhatWasSet(device), c.set);
    }
}

TEST(ApplyCarrier, TheCarrierAndDutyCycleAreSetWhereOffered) {
    constexpr std::uint32_t kBoth = LIRC_CAN_SET_SEND_CARRIER | LIRC_CAN_SET_SEND_DUTY_CYCLE;
    struct Case {
        const char* name;
        std::uint32_t features;
        std::map<unsigned long, int> refusals;
        CarrierSettings settings;
        CarrierOutcome outcome;
        SetValues set;
    };
    const std::vector<Case> cases = {
        {"both offered",
         kBoth,
         {},
         {36000, 33},
         CarrierOutcome::kApplied,
         {{LIRC_SET_SEND_CARRIER, 36000}, {LIRC_SET_SEND_DUTY_CYCLE, 33}}},
        {"neither offered: the device's own", 0, {}, {36000, 33}, CarrierOutcome::kApplied, {}},
        {"the carrier only",
         LIRC_CAN_SET_SEND_CARRIER,
         {},
         {40000, 50},
         CarrierOutcome::kApplied,
         {{LIRC_SET_SEND_CARRIER, 40000}}},
        {"nothing asked", kBoth, {}, {0, 0}, CarrierOutcome::kApplied, {}},
        {"a carrier the device cannot send",
         kBoth,
         {{LIRC_SET_SEND_CARRIER, EINVAL}},
         {455000, 33},
         CarrierOutcome::kCarrierRefused,
         {}},
        {"a duty cycle the device cannot send",
         kBoth,
         {{LIRC_SET_SEND_DUTY_CYCLE, EINVAL}},
         {38000, 90},
         CarrierOutcome::kDutyCycleRefused,
         {{LIRC_SET_SEND_CARRIER, 38000}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDeviceControl device(c.features);
        device.refusals = c.refusals;
        const CarrierSetup setup = ApplyCarrier(device, c.features, c.settings);
        EXPECT_EQ(setup.outcome, c.outcome);
        EXPECT_EQ(setup.carrierSet, c.set.count(LIRC_SET_SEND_CARRIER) == 1);
        EXPECT_EQ(setup.dutyCycleSet, c.set.count(LIRC_SET_SEND_DUTY_CYCLE) == 1);
        EXPECT_EQ(WhatWasSet(device), c.set);
    }
}

TEST(OpenDevice, PathsThatAreNoLircDeviceAreRefusedWithTheirCause) {
    QTemporaryDir folder;
    const std::string missing = folder.filePath("lirc9").toStdString();
    const std::string recording = folder.filePath("press.mode2").toStdString();
    std::ofstream(recording) << "kept";
    struct Case {
        std::string path;
        Use use;
        DeviceRefusal reason;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"/dev/null", Use::kReceiving, DeviceRefusal::kNotLircDevice,
         "/dev/null is no LIRC device (it does not answer LIRC_GET_FEATURES)"},
        {"/dev/null", Use::kSending, DeviceRefusal::kNotLircDevice, "is no LIRC device"},
        {missing, Use::kReceiving, DeviceRefusal::kMissing, "does not exist"},
        {missing, Use::kSending, DeviceRefusal::kMissing, "does not exist"},
        {"/dev/lirc-none", Use::kReceiving, DeviceRefusal::kMissing, "is the receiver plugged in"},
        {folder.path().toStdString(), Use::kReceiving, DeviceRefusal::kUnusableFile,
         "is no LIRC device, FIFO or recorded stream"},
        {folder.path().toStdString(), Use::kSending, DeviceRefusal::kUnusableFile,
         "is no LIRC device or FIFO"},
        {recording, Use::kSending, DeviceRefusal::kRegularFile, "it is not written over"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.use == Use::kSending ? " sending" : " receiving"));
        const Refusal refusal = c.use == Use::kReceiving ? OpenReceiver(c.path).refusal
                                                         : OpenTransmitter(c.path).refusal;
        EXPECT_EQ(refusal.reason, c.reason);
        EXPECT_NE(DescribeRefusal(c.path, refusal, c.use).find(c.said), std::string::npos)
            << DescribeRefusal(c.path, refusal, c.use);
    }
    std::ifstream kept(recording);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(::access(missing.c_str(), F_OK), -1);
}

TEST(OpenDevice, ARefusedPermissionNamesTheDevicesGroup) {
    const Refusal refusal{DeviceRefusal::kPermissionDenied, EACCES, "video"};
    EXPECT_EQ(DescribeRefusal("/dev/lirc0", refusal, Use::kReceiving),
              "no permission to use /dev/lirc0: it belongs to the group video; join it (sudo "
              "usermod -aG video $USER) and log in again");
}

}  // namespace
}  // namespace lirc
