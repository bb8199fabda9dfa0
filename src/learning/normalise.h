#pragma once
// Turning the remote's raw capture text into the normalised code the converter reads.
//
// A raw capture is a run of four-hex-digit groups, mark first, marks with bit 15 set; each
// value is a count of 1/3 microsecond. Long pauses are split into "7FFF" groups, twenty of
// them in a row end the signal, and the two groups after those hold the carrier measurement.
// The text is padded with zero characters to the capture buffer's size.
//
// Hex digits are upper case, as the remote writes them. A group with a lower-case digit is not
// a group of the remote's: it is read as not hex (so the walk fails on it and the capture is
// kept for diagnosis), which also keeps "7fff" from counting as a long pause by value while
// the text comparisons with "7FFF" would not see it.
//
// Nothing here uses Qt or touches a file; the diagnostic file lives in diagnostic_capture.h.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Twenty "7FFF" groups: the end of the signal.
inline constexpr std::string_view kEndMarker =
    "7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF";
// What CutAtEndMarker gives for a text without an end marker.
inline constexpr std::string_view kNoEndMarkerText = "0000";

// The normalised code in its three pieces. Text() is what the program shows and hands on;
// the converter reads only the body.
struct NormalisedCode {
    int frameCount = 0;        // frame ends found, at least 1
    std::string carrierField;  // carrier value as two hex digits and "12", or "0000"
    std::string body;          // marks, spaces and separators, four hex digits each

    // Frame count in decimal, then the carrier field, then the body.
    std::string Text() const;
};

// The signal up to its end marker, the marker and the two carrier groups after it, without a
// trailing pause before the marker; "0000" when rawText holds no end marker.
std::string CutAtEndMarker(std::string_view rawText);

// The walk over a cut text. Empty when the end of the signal or its carrier measurement is
// not found, or a group the walk must read is not four upper-case hex digits.
std::optional<NormalisedCode> NormaliseRawCodeParts(std::string_view cutText);

// Called with the input of a normalisation that failed.
using NormaliseFailureSink = std::function<void(std::string_view cutText)>;

// NormalisedCode::Text() of the walk, or an empty text on failure; a failure also hands the
// input to onFailure when one is given.
std::string NormaliseRawCode(std::string_view cutText, const NormaliseFailureSink& onFailure = {});

// True when group is four upper-case hex digits with bit 15 set (8000 to FFFF).
bool IsMarkGroup(std::string_view group);

// A group's value without the mark bit: its count of 1/3 microsecond.
constexpr std::uint16_t GroupDuration(std::uint16_t value) {
    return static_cast<std::uint16_t>(value & 0x7FFFu);
}
