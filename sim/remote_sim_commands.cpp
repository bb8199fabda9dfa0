#include "sim/remote_sim_commands.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cctype>
#include <ostream>
#include <utility>

#include "sim/remote_image_file.h"
#include "sim/simulated_remote.h"

Result<Done> ServerState::SaveImage() const {
    if (readOnly)
        return Failure(ReadOnlyImageError(imagePath));
    return SaveRemoteImage(remote.Image(), imagePath);
}

std::string ReadOnlyImageError(const std::string& imagePath) {
    return "the image " + imagePath +
           " is read-only; the remote is served as it is and takes no change";
}

wire::Message OkReply(std::string text) {
    return {wire::kReplyOk, std::move(text)};
}

wire::Message FailedReply(std::string text) {
    return {wire::kReplyFailed, std::move(text)};
}

void AddBankOption(CLI::App& command, std::string& bank) {
    bank = "08";
    command.add_option("--bank", bank, "the memory bank, two hex digits (default 08)")
        ->check(CLI::Validator(
            [](std::string& text) {
                const bool hex = text.size() == 2 &&
                                 std::isxdigit(static_cast<unsigned char>(text[0])) &&
                                 std::isxdigit(static_cast<unsigned char>(text[1]));
                return hex ? std::string() : "a bank is two hex digits, not " + text;
            },
            "BB"));
}

std::optional<wire::Message> CommandContext::Request(const wire::Message& request,
                                                     std::chrono::milliseconds timeout) const {
    const auto deadline = wire::Clock::now() + timeout;
    const int fd = wire::ConnectLocalSocket(socketPath, deadline);
    if (fd < 0)
        return std::nullopt;
    wire::Message reply;
    wire::IoResult result = wire::SendAll(fd, wire::EncodeFrame(request), deadline);
    if (result == wire::IoResult::kOk)
        result = wire::ReceiveFrame(fd, reply, deadline);
    ::close(fd);
    if (result != wire::IoResult::kOk || reply.empty())
        return std::nullopt;
    return reply;
}

int CommandContext::RequestAndPrint(const wire::Message& request) const {
    const auto reply = Request(request, std::chrono::seconds(5));
    if (!reply) {
        err << "remote-sim: no simulated remote answers on " << socketPath
            << " (start one with: remote-sim serve)\n";
        return 1;
    }
    const std::string text = reply->size() > 1 ? (*reply)[1] : std::string();
    const bool ok = (*reply)[0] == wire::kReplyOk;
    std::ostream& stream = ok ? out : err;
    stream << (ok ? "" : "remote-sim: ") << text;
    if (!text.empty() && text.back() != '\n')
        stream << '\n';
    return ok ? 0 : 1;
}

int CommandContext::UsageError(const std::string& message) const {
    err << "remote-sim: " << message << "\nRun with --help for more information.\n";
    return 2;
}

void RemoteSimCommands::AddCommand(CommandLineCommand command) {
    commands_.push_back(std::move(command));
}

void RemoteSimCommands::AddRequest(const std::string& name, RequestHandler handler) {
    requests_[name] = std::move(handler);
}

wire::Message RemoteSimCommands::Answer(ServerState& state, const wire::Message& request) const {
    if (request.empty())
        return FailedReply("empty request");
    const auto found = requests_.find(request[0]);
    if (found == requests_.end())
        return FailedReply("unknown request: " + request[0]);
    return found->second(state, request);
}
