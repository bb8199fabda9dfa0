#include "sim/remote_sim_commands.h"

#include <unistd.h>

#include <ostream>
#include <utility>

#include "sim/remote_image_file.h"
#include "sim/simulated_remote.h"

bool ServerState::SaveImage(std::string& error) const {
    return SaveRemoteImage(remote.Image(), imagePath, error);
}

wire::Message OkReply(std::string text) {
    return {wire::kReplyOk, std::move(text)};
}

wire::Message FailedReply(std::string text) {
    return {wire::kReplyFailed, std::move(text)};
}

std::string TakeBankOption(const std::vector<std::string>& args, std::vector<std::string>& rest) {
    std::string bank = "08";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bank" && i + 1 < args.size())
            bank = args[++i];
        else
            rest.push_back(args[i]);
    }
    return bank;
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

int CommandContext::UsageError(const std::string& name) const {
    const auto* command = commands.FindCommand(name);
    err << "usage: remote-sim " << name;
    if (command != nullptr && !command->usage.empty())
        err << ' ' << command->usage;
    err << '\n';
    return 2;
}

void RemoteSimCommands::AddCommand(CommandLineCommand command) {
    commands_.push_back(std::move(command));
}

void RemoteSimCommands::AddRequest(const std::string& name, RequestHandler handler) {
    requests_[name] = std::move(handler);
}

const CommandLineCommand* RemoteSimCommands::FindCommand(const std::string& name) const {
    for (const auto& command : commands_) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

wire::Message RemoteSimCommands::Answer(ServerState& state, const wire::Message& request) const {
    if (request.empty())
        return FailedReply("empty request");
    const auto found = requests_.find(request[0]);
    if (found == requests_.end())
        return FailedReply("unknown request: " + request[0]);
    return found->second(state, request);
}
