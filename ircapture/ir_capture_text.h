#pragma once
// What the remote's receiver makes of an infrared signal: the raw capture text that
// RCollectCodeInfo hands out. Four-hex-digit groups, counts of 1/3 µs, a mark with bit 15 set;
// a space longer than 7FFF counts as "7FFF" groups and a group with the rest; a mark longer
// than that as "7FFF" and a mark group with the rest. Twenty "7FFF" groups end the signal, and
// two groups of carrier measurement follow them.
//
// The carrier measurement is three byte values a, b, c (the two bytes of the first group and
// the first byte of the second), each about three carrier periods counted in 1/3 µs; the
// program reads the carrier in kHz as Trunc(1000 / ((a + b + c) / 9)). The writer picks a, b
// and c so that this gives the carrier's whole kHz.

#include <cstdint>
#include <optional>
#include <string>

#include "converter/ir_protocol.h"

namespace ir_capture {

// A real receiver stretches each mark, and shortens each space, by about this much; the
// program's normaliser takes it back, so a capture of a signal normalises to the signal.
inline constexpr int kReceiverMarkExcessUs = 58;

struct CaptureOptions {
    int markExcessUs = kReceiverMarkExcessUs;
    // Pads the text with zero bytes to the capture buffer's size, as the device's buffer
    // holds it (the simulated remote's buffer is zero-filled already).
    bool padToBuffer = false;
};

// The capture of a signal (signed µs, a mark first; the last space is the silence the end
// marker stands for). Pauses of 20 x 7FFF counts or more, which would read as the end, are
// shortened to 19 groups and the longest rest. Nothing when the text would not fit the
// capture buffer.
std::optional<std::string> CaptureText(const quorvel::Durations& signal, std::uint32_t carrierHz,
                                       const CaptureOptions& options = {});

// The carriers of infrared remotes, the ones the remote learns and sends again: a code with a
// carrier outside them, or with none, is not one the remote could have learned.
inline constexpr std::uint32_t kLowestLearnedCarrierHz = 15000;
inline constexpr std::uint32_t kHighestLearnedCarrierHz = 500000;

// Whether the capture of the signal fits the capture buffer, without writing it.
bool FitsCaptureBuffer(const quorvel::Durations& signal, const CaptureOptions& options = {});

// The carrier bytes a, b, c for a carrier in Hz (all zero for 0: unmodulated).
struct CarrierBytes {
    std::uint8_t a = 0, b = 0, c = 0;
};
CarrierBytes CarrierMeasurement(std::uint32_t carrierHz);

}  // namespace ir_capture
