// remotectl learn and program: a key gets a code through the same capture, normalisation,
// conversion and write-back as in the window; program renders the signal itself and learns it
// without a capture, into the record a capture of it would give.
#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <memory>

#include "common/result.h"
#include "converter/protocol_request.h"
#include "converter/signal_text.h"
#include "ircapture/ir_capture_text.h"
#include "learning/capture_loop.h"
#include "learning/learn_capture.h"
#include "learning/program_signal.h"
#include "tools/remotectl/code_refusals.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"
#include "tools/remotectl/key_report.h"

namespace {

constexpr int kDefaultTimeoutSeconds = 8;
constexpr int kLongestTimeoutSeconds = 3600;

// Says what came of converting a code and writing it into the key; `captureUnreadable`: the
// code was a capture that could not be normalised, and `diagnosticKept` whether its copy was
// saved.
int ReportLearning(CommandSession& session, KeyCode key, const Conversion& conversion,
                   const std::optional<LearnResult>& learned, bool captureUnreadable,
                   bool diagnosticKept) {
    if (conversion.status == ConversionStatus::kNoConverter)
        return Fail("the converter (libquorvel) is missing beside remotectl");
    if (conversion.status == ConversionStatus::kFailedInside)
        return Fail("the converter failed on this code");
    // Said whatever came of the rest: the entries are free now.
    if (learned && !learned->reclaimed.empty())
        std::cerr << "remotectl: freed " << learned->reclaimed.size()
                  << (learned->reclaimed.size() == 1 ? " code-table entry" : " code-table entries")
                  << " that no key pointed at, to make room\n";
    if (!learned || !Learned(learned->outcome)) {
        // A write the remote refused is told as such, even for a capture that was unreadable.
        const bool unreadable =
            captureUnreadable && (!learned || learned->outcome == LearnOutcome::kMalformedResult);
        if (unreadable && diagnosticKept)
            return Fail(
                "the code could not be read (a copy is kept as 123.txt in keylearn's "
                "data folder)");
        if (unreadable)
            return Fail(
                "the code could not be read, and no copy of it could be kept in keylearn's data "
                "folder");
        return Fail(LearnProblem(learned ? learned->outcome : LearnOutcome::kMalformedResult));
    }
    if (learned->previousEntryLeftInUse)
        std::cerr << "remotectl: warning: the key's previous code-table entry could not be freed "
                     "(remotectl check shows it)\n";
    // What the key holds now, read back from the remote.
    const std::optional<ManagedRegions> regions =
        ReadManagedRegions(session.Map(), session.Device());
    if (regions) {
        for (const KeyReport& report : ReportKeys(session.Map(), *regions)) {
            if (report.keyCode == key) {
                std::cout << KeyLine(report) << '\n';
                return 0;
            }
        }
    }
    std::cout << KeyCodeText(key) << "  learned\n";
    return 0;
}

// Learns the capture into the key and says what came of it.
int LearnAndReport(CommandSession& session, KeyCode key, const std::string& capture) {
    const CaptureLearning attempt = session.Session().LearnFromCapture(key, capture);
    return ReportLearning(session, key, attempt.conversion, attempt.learned,
                          attempt.normalised.empty(), attempt.diagnosticKept);
}

struct LearnArguments {
    std::string key;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    int lockWaitSeconds = kDefaultLockWaitSeconds;
};

int RunLearn(const LearnArguments& args) {
    const std::optional<KeyCode> key = KeyCodeTyped(args.key);
    if (!key)
        return UsageError("a key is two hex digits, not " + args.key);
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, *key, args.lockWaitSeconds);
    if (!session)
        return 1;
    // One write, so that a reader never sees half of the prompt.
    std::cerr << "Fire the code for key " + KeyCodeText(*key) + " at the remote (waiting " +
                     std::to_string(args.timeoutSeconds) + " s)...\n"
              << std::flush;
    CaptureControl control;
    CaptureTiming timing;
    timing.limit = std::chrono::seconds(args.timeoutSeconds);
    const CaptureResult capture = WaitForCapture(session->Device(), control, timing);
    switch (capture.end) {
        case CaptureEnd::kCaptured:
            return LearnAndReport(*session, *key, capture.capture);
        case CaptureEnd::kCaptureModeRefused:
            return Fail("the remote did not enter capture mode");
        case CaptureEnd::kTimedOut:
            return Fail("no code arrived within " + std::to_string(args.timeoutSeconds) + " s");
        case CaptureEnd::kStopped:
            break;
        case CaptureEnd::kRemoteGone:
            return Fail("the remote was unplugged while waiting");
    }
    return Fail("learning was stopped");
}

struct ProgramArguments {
    std::string key;
    std::string protocol;
    std::vector<std::string> params;
    std::string pronto;
    int repeats = -1;  // the protocol's own count
    int lockWaitSeconds = kDefaultLockWaitSeconds;
};

// The signal asked for, as durations and a carrier; or why the command line is wrong.
Result<quorvel::TextSignal> SignalOf(const ProgramArguments& args) {
    if (!args.pronto.empty()) {
        if (!args.protocol.empty() || !args.params.empty() || args.repeats >= 0)
            return Failure("give either a protocol with its parameters or --pronto, not both");
        const std::size_t first = args.pronto.find_first_not_of(" \t");
        if (first != std::string::npos && args.pronto.compare(first, 4, "0100") == 0)
            return Failure(CarrierRefusal(0));
        const std::optional<quorvel::TextSignal> signal = quorvel::ParsePronto(args.pronto);
        if (!signal)
            return Failure("not a learned Pronto code (0000 FFFF N M ...): " + args.pronto);
        if (const std::string refusal = CarrierRefusal(signal->carrierHz); !refusal.empty())
            return Failure(refusal);
        return *signal;
    }
    if (args.protocol.empty())
        return Failure("give a protocol with its parameters, or --pronto");
    const auto request = quorvel::ParseProtocolRequest(args.protocol, args.params, args.repeats);
    if (!request)
        return Failure(request.Problem().text);
    if (const std::string refusal = CarrierRefusal(request->def->carrierHz); !refusal.empty())
        return Failure(refusal);
    const quorvel::Rendered rendered =
        quorvel::Render(*request->def, request->params, request->repeats);
    return quorvel::TextSignal{rendered.durations, request->def->carrierHz};
}

int RunProgram(const ProgramArguments& args) {
    const std::optional<KeyCode> key = KeyCodeTyped(args.key);
    if (!key)
        return UsageError("a key is two hex digits, not " + args.key);
    const Result<quorvel::TextSignal> signal = SignalOf(args);
    if (!signal)
        return UsageError(signal.Problem());
    // The key gets the record a capture of the signal would give, so a signal longer than any
    // capture is refused: the remote could never have learned it.
    if (!ir_capture::FitsCaptureBuffer(signal->durations))
        return Fail("the signal is too long for the remote's capture buffer");
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, *key, args.lockWaitSeconds);
    if (!session)
        return 1;
    const ProgramResult programmed = session->Session().Program(*key, signal->durations);
    return ReportLearning(*session, *key, programmed.conversion, programmed.learned, false, false);
}

}  // namespace

CommandRun DefineLearn(CLI::App& command) {
    auto args = std::make_shared<LearnArguments>();
    command.add_option("KEY", args->key, "the key's code, two hex digits (remotectl keys)")
        ->required();
    command
        .add_option(
            "--timeout", args->timeoutSeconds,
            "seconds to wait for the code (default " + std::to_string(kDefaultTimeoutSeconds) + ")")
        ->check(CLI::Range(1, kLongestTimeoutSeconds));
    AddLockWaitOption(command, args->lockWaitSeconds);
    return [args] { return RunLearn(*args); };
}

CommandRun DefineProgram(CLI::App& command) {
    auto args = std::make_shared<ProgramArguments>();
    command.add_option("KEY", args->key, "the key's code, two hex digits (remotectl keys)")
        ->required();
    command.add_option("PROTOCOL", args->protocol, "one of: " + quorvel::ProtocolNames());
    command.add_option("NAME=VALUE", args->params,
                       "the protocol's parameters D, S, F, T (E, M, N for Kaseikyo) in decimal");
    command.add_option("--pronto", args->pronto,
                       "a learned Pronto code instead of a protocol (\"0000 006D ...\")");
    command
        .add_option("--repeats", args->repeats,
                    "repeat frames after the first (default: the protocol's own)")
        ->check(CLI::Range(0, quorvel::kMaxRequestedRepeats));
    AddLockWaitOption(command, args->lockWaitSeconds);
    return [args] { return RunProgram(*args); };
}
