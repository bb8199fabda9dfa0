#pragma once
// The files of the shared infrared code collections, read into buttons: a Flipper infrared
// signal file, a lircd.conf, the CSV of a protocol database and a list of Pronto codes. Each
// format has a reader of its own (flipper_reader.h, lircd_reader.h, protocol_csv_reader.h,
// pronto_list_reader.h); this is what they give back and how a caller picks one.
//
// A reader takes the whole file or refuses it whole: anything malformed is one problem with
// its line number, and then there are no buttons at all, so that nothing is programmed from
// half a file. A button whose signal is well-formed but cannot be sent (an unmodulated Pronto
// code, a protocol the converter does not render) is read, and says why.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "converter/ir_protocol.h"
#include "converter/ir_render.h"

namespace quorvel {

enum class CollectionFormat { kFlipper, kLircd, kProtocolCsv, kProntoList };

// What a button sends, as its file gives it.
struct ButtonSignal {
    enum class Kind {
        kProtocol,    // protocol and params: the converter renders it
        kTimings,     // durations and carrierHz (0: unmodulated)
        kUnsendable,  // why not in unsendable
    };
    Kind kind = Kind::kUnsendable;
    const ProtocolDef* protocol = nullptr;
    Params params;
    Durations durations;
    std::uint32_t carrierHz = 0;
    std::string unsendable;
    // The protocol as the file names it ("NECext"); empty for timings.
    std::string fileProtocol;
};

struct CollectionButton {
    std::string name;    // as the file spells it
    std::string remote;  // the remote block it stands in (lircd.conf); empty elsewhere
    int line = 0;        // where the button begins, counted from 1
    ButtonSignal signal;
};

struct CollectionProblem {
    int line = 0;  // 0: the file as a whole
    std::string text;
};

using CollectionReading = Result<std::vector<CollectionButton>, CollectionProblem>;

// "line 12: ..." (or the text alone for the file as a whole).
std::string ProblemText(const CollectionProblem& problem);

// The format a file's text looks like: the Flipper header, a "begin remote" line, the CSV
// header, or lines of a name and a Pronto code; none when it looks like none of them.
std::optional<CollectionFormat> DetectCollectionFormat(std::string_view text);
// "flipper", "lirc", "csv", "pronto" and back.
std::optional<CollectionFormat> CollectionFormatNamed(std::string_view name);
const char* CollectionFormatName(CollectionFormat format);

CollectionReading ReadCollection(std::string_view text, CollectionFormat format);

// What the button sends, as durations: the protocol rendered with its own repeat count, or the
// timings; none for a button that cannot be sent. (A protocol whose first frame another one
// of the table shares, such as Samsung32 and NECx1, is then decoded as the earlier one.)
std::optional<Rendered> RenderButton(const ButtonSignal& signal);

// The lines of a text without their line ends ("\n", "\r\n", or a lone "\r" before the end);
// line i of the result is line i + 1 of the file.
std::vector<std::string_view> TextLines(std::string_view text);
// The text without blanks (spaces, tabs) at either end.
std::string_view Trimmed(std::string_view text);
// The words of a text, split at blanks.
std::vector<std::string_view> Words(std::string_view text);
// A decimal number of at most nine digits; none for anything else.
std::optional<std::uint32_t> DecimalNumber(std::string_view text);

// The longest duration a reader takes, in microseconds: longer spaces are no part of one
// button's signal.
inline constexpr std::uint32_t kLongestReadDurationUs = 10'000'000;

}  // namespace quorvel
