// irtool receive and send: real infrared through the kernel's LIRC devices, or through a FIFO
// or a recorded stream standing in for one.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "converter/ir_render.h"
#include "converter/protocol_request.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "ircapture/bounded_input.h"
#include "lirc/lirc_device.h"
#include "lirc/lirc_messages.h"
#include "tools/irtool/commands.h"
#include "tools/irtool/signal_input.h"

namespace {

using quorvel::Durations;

// The carrier of a signal whose carrier nobody stated, as a stored raw record takes it.
constexpr std::uint32_t kUnstatedCarrierHz = 38000;
constexpr int kMaxPresses = 100;

int Complain(const std::string& text, int status) {
    std::cerr << "irtool: " << text << '\n';
    return status;
}

// Ctrl-C and SIGTERM end a receive cleanly: the handler only makes the stop pipe readable,
// which the reader watches beside the device.
int stopWriteEnd = -1;

void WakeTheReader(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(stopWriteEnd, &byte, 1);
}

class StopOnSignals {
  public:
    StopOnSignals() {
        if (::pipe2(ends_, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        stopWriteEnd = ends_[1];
        struct sigaction action {};
        action.sa_handler = WakeTheReader;
        ::sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previousInterrupt_);
        ::sigaction(SIGTERM, &action, &previousTerminate_);
    }
    ~StopOnSignals() {
        if (ends_[0] < 0)
            return;
        ::sigaction(SIGINT, &previousInterrupt_, nullptr);
        ::sigaction(SIGTERM, &previousTerminate_, nullptr);
        stopWriteEnd = -1;
        ::close(ends_[0]);
        ::close(ends_[1]);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    int ReadEnd() const { return ends_[0]; }

  private:
    int ends_[2] = {-1, -1};
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

struct ReceiveArguments {
    std::string device = "/dev/lirc0";
    bool decode = false;
    int count = 0;       // 0: until stopped or the stream ends
    double timeout = 0;  // seconds; 0: none
};

// "+9000 -4500 … +560", and the carrier where the receiver measured one.
std::string SignalLine(const lirc::ReceivedSignal& signal) {
    std::string line = quorvel::FormatMicroseconds(signal.durations);
    if (signal.carrierHz != 0)
        line += " # carrier " + std::to_string(signal.carrierHz);
    return line;
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << seconds << " s";
    return text.str();
}

int RunReceive(const ReceiveArguments& args) {
    const std::string& path = args.device;
    lirc::ReceiverOpening opened = lirc::OpenReceiver(path);
    if (!opened.receiver)
        return Complain(lirc::DescribeRefusal(path, opened.refusal, lirc::Use::kReceiving), 1);
    lirc::Receiver& receiver = *opened.receiver;
    if (receiver.kind() == lirc::PathKind::kDevice && ::isatty(STDERR_FILENO))
        std::cerr << "irtool: receiving from " << path << " (" << lirc::DescribeSetup(receiver)
                  << "); Ctrl-C ends\n";

    StopOnSignals stop;
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(static_cast<long long>(args.timeout * 1000));
    int received = 0;
    bool lost = false;
    auto shortOf = [&](const std::string& how) {
        return Complain(how + ": " + std::to_string(received) + " of " +
                            std::to_string(args.count) + " signals received",
                        1);
    };
    for (;;) {
        int waitMs = -1;
        if (args.timeout > 0) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            waitMs = static_cast<int>(std::max<long long>(left, 0));
        }
        const lirc::StreamReading reading = receiver.Next({waitMs, stop.ReadEnd()});
        switch (reading.event) {
            case lirc::StreamEvent::kSignal: {
                const lirc::ReceivedSignal& signal = reading.signal;
                std::cout << (args.decode ? DecodedLine(signal.durations, signal.carrierHz)
                                          : SignalLine(signal))
                          << std::endl;
                if (!std::cout)
                    return 1;  // the reason is told when the program ends
                ++received;
                if (args.count > 0 && received == args.count)
                    return lost ? 1 : 0;
                continue;
            }
            case lirc::StreamEvent::kOverflow:
            case lirc::StreamEvent::kSignalTooLong:
                Complain(lirc::DescribeStreamEvent(path, reading), 1);
                lost = true;
                continue;
            case lirc::StreamEvent::kStopped:
                return lost ? 1 : 0;
            case lirc::StreamEvent::kWaitOver:
                if (args.count > 0)
                    return shortOf("no more within " + Seconds(args.timeout));
                if (received == 0)
                    return Complain("no signal within " + Seconds(args.timeout), 1);
                return lost ? 1 : 0;
            case lirc::StreamEvent::kEnd:
                if (args.count > 0)
                    return shortOf(path + " ended");
                return lost ? 1 : 0;
            case lirc::StreamEvent::kCutOff:
            case lirc::StreamEvent::kNotMode2:
            case lirc::StreamEvent::kDeviceGone:
            case lirc::StreamEvent::kReadFailed:
                return Complain(lirc::DescribeStreamEvent(path, reading), 1);
        }
    }
}

struct SendArguments {
    std::string device;
    std::string protocol;
    std::vector<std::string> params;
    std::string pronto;
    std::string record;
    std::string file;
    int repeats = -1;  // the protocol's or the record's own
    int presses = 1;
    std::uint32_t carrierHz = 0;  // 0: the signal's own
    std::uint32_t dutyCyclePercent = 0;
};

// What is to be sent: one press after another, each with its carrier (0: not stated).
struct Presses {
    std::vector<ReadSignal> presses;
    std::string error;  // why there are none
    int status = 0;     // 1 a failure, 2 wrong usage, with error
};

Presses Refused(const std::string& error, int status) {
    return {{}, error, status};
}

Presses ProtocolPresses(const SendArguments& args) {
    const auto request = quorvel::ParseProtocolRequest(args.protocol, args.params, args.repeats);
    if (!request)
        return Refused(request.Problem().text, 2);
    Presses out;
    const bool toggles = request->def->HasParam(quorvel::Param::kT);
    for (int i = 0; i < args.presses; ++i) {
        quorvel::Params params = request->params;
        // A new press of a key shows itself by the other toggle bit.
        if (toggles)
            params[quorvel::Param::kT] ^= static_cast<std::uint32_t>(i % 2);
        const quorvel::Rendered signal = quorvel::Render(*request->def, params, request->repeats);
        out.presses.push_back({signal.durations, signal.carrierHz});
    }
    return out;
}

Presses RecordPresses(const SendArguments& args) {
    std::string text = args.record;
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               text.end());
    auto record = quorvel::ParseConvertedCode(text);
    if (!record)
        return Refused("not a stored record (IIIIII::FIRST:SECOND:::DATA): " + args.record, 2);
    quorvel::RecordFields fields = quorvel::DecodeFields(record->first, record->second);
    if (args.repeats >= 0)
        fields.repeats = args.repeats;
    const quorvel::ProtocolDef* def =
        quorvel::IsRawId(record->id)
            ? nullptr
            : quorvel::FindProtocolById(static_cast<std::uint8_t>(record->id >> 16));
    const bool toggles = def && def->HasParam(quorvel::Param::kT);
    Presses out;
    for (int i = 0; i < args.presses; ++i) {
        quorvel::RecordFields press = fields;
        if (toggles)
            press.params[quorvel::Param::kT] ^= static_cast<std::uint32_t>(i % 2);
        record->second = quorvel::EncodeFields(press, false);
        const auto signal = quorvel::RenderRecord(*record);
        if (!signal)
            return Refused("the record names no protocol or timing this converter knows", 1);
        out.presses.push_back({signal->durations, signal->carrierHz});
    }
    return out;
}

Presses TextPresses(const SendArguments& args) {
    std::vector<ReadSignal> signals;
    if (!args.pronto.empty()) {
        const auto pronto = quorvel::ParsePronto(args.pronto);
        if (!pronto)
            return Refused("not Pronto hex of the learned (0000) kind: " + args.pronto, 2);
        signals.push_back({pronto->durations, pronto->carrierHz});
    } else {
        std::string input;
        std::string error;
        if (!bounded_input::ReadInput(args.file, kMaxSignalListInput, bounded_input::Extent::kWhole,
                                      input, error))
            return Refused(error, 1);
        for (const SignalInText& found : ReadSignalList(input)) {
            if (!found.signal)
                return Refused(bounded_input::InputName(args.file) + ": line " +
                                   std::to_string(found.line) + " holds no signal irtool reads",
                               1);
            signals.push_back(*found.signal);
        }
        if (signals.empty())
            return Refused(bounded_input::InputName(args.file) + " holds no signal", 1);
    }
    Presses out;
    for (int i = 0; i < args.presses; ++i) {
        for (const ReadSignal& signal : signals)
            out.presses.push_back({quorvel::Tidy(signal.durations), signal.carrierHz});
    }
    return out;
}

// Presses of one carrier in a row make one transmission, each press's lead-out stretched to
// the pause a receiver needs to tell it from the next. A FIFO sets no carrier and cannot show
// where one write ends: everything goes into one.
struct Burst {
    Durations durations;
    std::uint32_t carrierHz = 0;
};

std::vector<Burst> Bursts(const std::vector<ReadSignal>& presses, std::uint32_t forcedCarrierHz,
                          bool oneBurst) {
    std::vector<Burst> bursts;
    for (const ReadSignal& press : presses) {
        std::uint32_t carrier = forcedCarrierHz != 0 ? forcedCarrierHz : press.carrierHz;
        if (carrier == 0)
            carrier = kUnstatedCarrierHz;
        if (bursts.empty() || (bursts.back().carrierHz != carrier && !oneBurst)) {
            bursts.push_back({{}, carrier});
        } else {
            Durations& joined = bursts.back().durations;
            const std::int32_t pause = -static_cast<std::int32_t>(lirc::kPauseBetweenPressesUs);
            if (!joined.empty() && joined.back() < 0)
                joined.back() = std::min(joined.back(), pause);
            else
                joined.push_back(pause);
        }
        bursts.back().durations.insert(bursts.back().durations.end(), press.durations.begin(),
                                       press.durations.end());
    }
    return bursts;
}

int RunSend(const SendArguments& args) {
    const int sources =
        !args.protocol.empty() + !args.pronto.empty() + !args.record.empty() + !args.file.empty();
    if (sources != 1)
        return Complain("give one of PROTOCOL NAME=VALUE..., --pronto, --record or --file", 2);
    if (args.repeats >= 0 && (!args.pronto.empty() || !args.file.empty()))
        return Complain("--repeats goes with a protocol or a stored record", 2);

    const Presses wanted = !args.protocol.empty() ? ProtocolPresses(args)
                           : !args.record.empty() ? RecordPresses(args)
                                                  : TextPresses(args);
    if (wanted.status != 0)
        return Complain(wanted.error, wanted.status);

    const std::string& path = args.device;
    lirc::TransmitterOpening opened = lirc::OpenTransmitter(path);
    if (!opened.transmitter)
        return Complain(lirc::DescribeRefusal(path, opened.refusal, lirc::Use::kSending), 1);
    lirc::Transmitter& transmitter = *opened.transmitter;

    const std::vector<Burst> bursts =
        Bursts(wanted.presses, args.carrierHz, transmitter.kind() != lirc::PathKind::kDevice);
    std::size_t durations = 0;
    bool carrierSet = true;
    for (std::size_t i = 0; i < bursts.size(); ++i) {
        const lirc::CarrierSettings carrier{bursts[i].carrierHz, args.dutyCyclePercent};
        const lirc::SendResult sent = transmitter.Send(bursts[i].durations, carrier);
        if (sent.outcome != lirc::SendOutcome::kSent)
            return Complain(lirc::DescribeSendFailure(path, sent, carrier), 1);
        carrierSet = carrierSet && sent.carrierSet;
        // The lead-out after the last press is silence, not sent.
        durations += bursts[i].durations.size() - (bursts[i].durations.back() < 0 ? 1 : 0);
        if (i + 1 < bursts.size() && transmitter.kind() == lirc::PathKind::kDevice)
            ::usleep(lirc::kPauseBetweenPressesUs);
    }

    const std::size_t count = wanted.presses.size();
    std::string said = "sent " + std::to_string(count) + (count == 1 ? " press" : " presses") +
                       " (" + std::to_string(durations) + " durations) to " + path;
    if (transmitter.kind() == lirc::PathKind::kDevice && !carrierSet)
        said += " (the device sends with a carrier of its own)";
    else if (bursts.size() == 1)
        said += " at " + std::to_string(bursts.front().carrierHz) + " Hz";
    std::cout << said << std::endl;
    return 0;
}

}  // namespace

CommandRun DefineReceive(CLI::App& command) {
    auto args = std::make_shared<ReceiveArguments>();
    command.add_option("--device", args->device,
                       "a LIRC device, or a FIFO or file holding a recorded mode2 stream "
                       "(default /dev/lirc0)");
    command.add_flag("--decode", args->decode,
                     "print each signal's protocol and parameters, as irtool decode does");
    command.add_option("--count", args->count, "stop after N signals")
        ->check(CLI::Range(1, 1000000));
    command.add_option("--timeout", args->timeout, "stop after S seconds")
        ->check(CLI::PositiveNumber);
    return [args] { return RunReceive(*args); };
}

CommandRun DefineSend(CLI::App& command) {
    auto args = std::make_shared<SendArguments>();
    command.add_option("--device", args->device, "a LIRC device that can send, or a FIFO")
        ->required();
    command.add_option("PROTOCOL", args->protocol, "one of: " + quorvel::ProtocolNames());
    command.add_option("NAME=VALUE", args->params,
                       "the protocol's parameters D, S, F, T (E, M, N for Kaseikyo) in decimal");
    command.add_option("--pronto", args->pronto, "a Pronto code (\"0000 006D ...\")");
    command.add_option("--record", args->record, "a stored record (IIIIII::FIRST:SECOND:::DATA)");
    command.add_option("--file", args->file,
                       "the signals of a file in any form irtool decode reads, one press each "
                       "(- : the standard input)");
    command
        .add_option("--repeats", args->repeats,
                    "repeat frames after the first (default: the protocol's own, Sony's two)")
        ->check(CLI::Range(0, quorvel::kMaxRequestedRepeats));
    command
        .add_option("--presses", args->presses,
                    "presses of the key, the toggle bit alternating (default 1)")
        ->check(CLI::Range(1, kMaxPresses));
    command
        .add_option("--carrier", args->carrierHz,
                    "the carrier in Hz (default: the signal's own, else 38000)")
        ->check(CLI::Range(10000u, 500000u));
    command
        .add_option("--duty-cycle", args->dutyCyclePercent,
                    "the carrier's duty cycle in percent, where the device can set it")
        ->check(CLI::Range(1u, 99u));
    return [args] { return RunSend(*args); };
}
