// libFuzzer target of the code collections' readers. The first byte picks the reader (its
// value modulo 5: Flipper, lircd.conf, CSV, Pronto list, or the format the text looks like);
// the rest is the file. Any bytes give a problem on a line of the file or buttons whose
// signals render, and a Flipper file's buttons written out again read back as the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "converter/code_collection.h"
#include "converter/flipper_file.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckButtons(const std::vector<quorvel::CollectionButton>& buttons, int lineCount,
                  quorvel::CollectionFormat format) {
    std::vector<quorvel::NamedSignal> rendered;
    for (const quorvel::CollectionButton& button : buttons) {
        Check(button.line >= 1 && button.line <= lineCount);
        const quorvel::ButtonSignal& signal = button.signal;
        switch (signal.kind) {
            case quorvel::ButtonSignal::Kind::kProtocol:
                Check(signal.protocol != nullptr);
                for (int p = 0; p < quorvel::kParamCount; ++p) {
                    const auto param = static_cast<quorvel::Param>(p);
                    Check(signal.params[param] <= signal.protocol->MaxValue(param));
                }
                break;
            case quorvel::ButtonSignal::Kind::kTimings:
                for (const std::int32_t d : signal.durations)
                    Check(d != 0);
                break;
            case quorvel::ButtonSignal::Kind::kUnsendable:
                Check(!signal.unsendable.empty());
                break;
        }
        const auto signalOut = quorvel::RenderButton(signal);
        Check(signalOut.has_value() == (signal.kind != quorvel::ButtonSignal::Kind::kUnsendable));
        if (signalOut && signal.kind == quorvel::ButtonSignal::Kind::kTimings &&
            !signal.durations.empty() && signal.durations.front() > 0)
            rendered.push_back({button.name, *signalOut});
    }
    if (format != quorvel::CollectionFormat::kFlipper)
        return;
    // Raw signals from a mark, written out and read back: the same durations under the same
    // names.
    const std::string written = quorvel::WriteFlipperFile(rendered);
    const quorvel::CollectionReading again =
        quorvel::ReadCollection(written, quorvel::CollectionFormat::kFlipper);
    Check(again.HasValue());
    Check(again->size() == rendered.size());
    for (std::size_t i = 0; i < rendered.size(); ++i) {
        Check((*again)[i].name == rendered[i].name);
        Check((*again)[i].signal.durations.size() == rendered[i].signal.durations.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::optional<quorvel::CollectionFormat> format;
    switch (data[0] % 5) {
        case 0:
            format = quorvel::CollectionFormat::kFlipper;
            break;
        case 1:
            format = quorvel::CollectionFormat::kLircd;
            break;
        case 2:
            format = quorvel::CollectionFormat::kProtocolCsv;
            break;
        case 3:
            format = quorvel::CollectionFormat::kProntoList;
            break;
        default:
            format = quorvel::DetectCollectionFormat(text);
            break;
    }
    if (!format)
        return 0;
    const int lineCount = static_cast<int>(quorvel::TextLines(text).size());
    const quorvel::CollectionReading reading = quorvel::ReadCollection(text, *format);
    if (!reading) {
        Check(!reading.Problem().text.empty());
        Check(reading.Problem().line >= 0 && reading.Problem().line <= lineCount);
        return 0;
    }
    CheckButtons(*reading, lineCount, *format);
    return 0;
}
