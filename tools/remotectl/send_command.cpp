// remotectl send: what a key of the remote holds, sent through a real infrared transmitter (a
// LIRC device) or into a FIFO, so that a learned key can be tried on the device it is for
// before the user trusts it. It only reads the remote, so it takes no lock.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "lirc/lirc_device.h"
#include "lirc/lirc_messages.h"
#include "lirc/transmitter_search.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"
#include "tools/remotectl/key_report.h"

namespace {

struct SendArguments {
    std::string key;
    std::string device;  // empty: the one LIRC device that can send
};

// What the key sends, or none after the complaint.
std::optional<KeyReport> KeyToSend(KeyCode key) {
    const std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kNone, key);
    if (!session)
        return std::nullopt;
    const std::optional<ManagedRegions> regions =
        ReadManagedRegions(session->Map(), session->Device());
    if (!regions) {
        Fail("the remote's key and code tables cannot be read");
        return std::nullopt;
    }
    for (KeyReport& report : ReportKeys(session->Map(), *regions)) {
        if (report.keyCode != key)
            continue;
        if (!report.HoldsCode()) {
            Fail("key " + KeyCodeText(key) + " holds no code; there is nothing to send");
            return std::nullopt;
        }
        if (!report.signal) {
            Fail("key " + KeyCodeText(key) + " sends nothing: " + report.problem);
            return std::nullopt;
        }
        return report;
    }
    Fail("the remote has no key entry for key " + KeyCodeText(key));
    return std::nullopt;
}

std::string Listed(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : ", ") + path;
    return text;
}

// The transmitter the user named, or the machine's only one; none after the complaint.
std::optional<std::string> TransmitterPath(const std::string& named) {
    if (!named.empty())
        return named;
    const lirc::TransmitterSearch search = lirc::FindTransmitter();
    switch (search.outcome) {
        case lirc::TransmitterSearchOutcome::kFound:
            return search.path;
        case lirc::TransmitterSearchOutcome::kSeveral:
            Fail("several LIRC devices can send (" + Listed(search.candidates) +
                 "); choose one with --device PATH");
            return std::nullopt;
        case lirc::TransmitterSearchOutcome::kNone:
            break;
    }
    if (search.lookedAt.empty()) {
        Fail(
            "there is no LIRC device (/dev/lirc*) to send through: plug in an infrared "
            "transmitter, or give --device PATH (a LIRC device or a FIFO)");
        return std::nullopt;
    }
    std::string why;
    for (const lirc::LookedAt& device : search.lookedAt)
        why += "; " + lirc::DescribeRefusal(device.path, device.refusal, lirc::Use::kSending);
    Fail("no LIRC device can send" + why + "; give --device PATH");
    return std::nullopt;
}

int RunSend(const SendArguments& args) {
    const std::optional<KeyCode> key = KeyCodeTyped(args.key);
    if (!key)
        return UsageError("a key is two hex digits, not " + args.key);
    const std::optional<KeyReport> report = KeyToSend(*key);
    if (!report)
        return 1;
    const std::optional<std::string> path = TransmitterPath(args.device);
    if (!path)
        return 1;

    // A FIFO is opened once something reads it, as a device is at once.
    const lirc::TransmitterOpening opened = lirc::OpenTransmitter(*path);
    if (!opened.transmitter)
        return Fail(lirc::DescribeRefusal(*path, opened.refusal, lirc::Use::kSending));
    const quorvel::Rendered& signal = *report->signal;
    const lirc::CarrierSettings carrier{signal.carrierHz, 0};
    const lirc::SendResult sent = opened.transmitter->Send(signal.durations, carrier);
    if (sent.outcome != lirc::SendOutcome::kSent)
        return Fail(lirc::DescribeSendFailure(*path, sent, carrier));

    std::string said =
        "sent key " + KeyCodeText(*key) + " (" + SendsText(*report) + ") to " + *path;
    if (opened.transmitter->kind() == lirc::PathKind::kDevice && !sent.carrierSet)
        said += " (the device sends with a carrier of its own)";
    else if (signal.carrierHz != 0)
        said += " at " + std::to_string(signal.carrierHz) + " Hz";
    std::cout << said << std::endl;
    return 0;
}

}  // namespace

CommandRun DefineSend(CLI::App& command) {
    auto args = std::make_shared<SendArguments>();
    command.add_option("KEY", args->key, "the key's code, two hex digits (remotectl keys)")
        ->required();
    command.add_option("--device", args->device,
                       "a LIRC device that can send, or a FIFO (default: the one LIRC device "
                       "of this machine that can send)");
    return [args] { return RunSend(*args); };
}
