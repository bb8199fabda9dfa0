#pragma once
// The sentences the command-line programs (irtool, and remote-sim and remotectl with a LIRC
// device) say about a refused device, an event of a stream and a failed transmission, so that
// every program says the same thing about the same device.

#include <string>

#include "lirc/device_setup.h"
#include "lirc/lirc_device.h"
#include "lirc/mode2_stream.h"

namespace lirc {

enum class Use { kReceiving, kSending };

// "/dev/lirc0 cannot receive raw timings (it lacks LIRC_CAN_REC_MODE2) ..."
std::string DescribeRefusal(const std::string& path, const Refusal& refusal, Use use);

// A stream event other than kSignal and kWaitOver: "the receiver overflowed: a signal was lost".
std::string DescribeStreamEvent(const std::string& path, const StreamReading& reading);

// A failed SendResult.
std::string DescribeSendFailure(const std::string& path, const SendResult& result,
                                const CarrierSettings& carrier);

// What a receiver was set to, in a few words: "timeout 125000 us, wide-band receiver, carrier
// measured"; "a recorded stream" for a FIFO or file.
std::string DescribeSetup(const Receiver& receiver);

}  // namespace lirc
