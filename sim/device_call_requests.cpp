// The eight calls of zorvik.h as requests of the serving remote-sim: libzorvik sends the
// call's texts, the reply carries the call's result and the text it put into its buffer.
#include <charconv>
#include <cstring>
#include <string>

#include "common/hex_digits.h"
#include "sim/remote_sim_commands.h"
#include "sim/simulated_remote.h"

namespace {

constexpr int kMaxUnits = 0x10000 / 8;

wire::Message CallReply(bool ok, std::string text = {}) {
    return ok ? OkReply(std::move(text)) : FailedReply({});
}

// The text a call left in its zero-filled buffer: up to the first zero byte.
std::string BufferText(const std::string& buffer) {
    return buffer.substr(0, std::strlen(buffer.c_str()));
}

// A call without arguments that fills a buffer of the given size.
template <bool (SimulatedRemote::*Call)(char*)>
RequestHandler BufferCall(std::size_t size) {
    return [size](ServerState& state, const wire::Message& request) {
        if (request.size() != 1)
            return FailedReply("wrong number of arguments");
        std::string buffer(size, '\0');
        const bool ok = (state.remote.*Call)(buffer.data());
        return CallReply(ok, BufferText(buffer));
    };
}

wire::Message ReadData(ServerState& state, const wire::Message& request) {
    if (request.size() != 5)
        return FailedReply("wrong number of arguments");
    const std::string& units = request[1];
    int unitCount = 0;
    const auto parsed = std::from_chars(units.data(), units.data() + units.size(), unitCount);
    // No more than one bank can be read, so nothing larger is ever allocated.
    if (parsed.ec != std::errc() || parsed.ptr != units.data() + units.size() || unitCount < 1 ||
        unitCount > kMaxUnits)
        return FailedReply({});
    std::string buffer(16 * static_cast<std::size_t>(unitCount), '\0');
    const bool ok = state.remote.readdatav20(buffer.data(), unitCount, request[2].c_str(),
                                             request[3].c_str(), request[4].c_str());
    return CallReply(ok, std::move(buffer));
}

// Why the remote refused a write, for the command line: libzorvik reads only the verdict.
std::string WriteRefusal(ServerState& state, const wire::Message& request) {
    if (!state.saveError.empty())
        return "the write could not be saved: " + state.saveError;
    if (!state.remote.IsPlugged())
        return "the remote is unplugged";
    const auto bank = hex::ParseFixedDigits(request[1], 2);
    if (bank && state.remote.MemoryBytes(static_cast<int>(*bank), 0, 1).empty())
        return "the remote has no bank " + request[1];
    return "the address or the data is malformed, or the bytes run past FFFF";
}

wire::Message WriteData(ServerState& state, const wire::Message& request) {
    if (request.size() != 5)
        return FailedReply("wrong number of arguments");
    state.saveError.clear();
    if (state.remote.writedatav20(request[1].c_str(), request[2].c_str(), request[3].c_str(),
                                  request[4].c_str()))
        return OkReply();
    return FailedReply(WriteRefusal(state, request));
}

}  // namespace

void AddDeviceCallRequests(RemoteSimCommands& commands) {
    commands.AddRequest("link_state", [](ServerState& state, const wire::Message& request) {
        return CallReply(request.size() == 1 && state.remote.link_state());
    });
    commands.AddRequest("ReadVersion", BufferCall<&SimulatedRemote::ReadVersion>(
                                           SimulatedRemote::kVersionBufferSize));
    commands.AddRequest("readdatav20", ReadData);
    commands.AddRequest("writedatav20", WriteData);
    commands.AddRequest("SetCodeCarrierWave", [](ServerState& state, const wire::Message& request) {
        return CallReply(request.size() == 1 && state.remote.SetCodeCarrierWave());
    });
    commands.AddRequest("RCollectCodeInfo", BufferCall<&SimulatedRemote::RCollectCodeInfo>(
                                                SimulatedRemote::kCaptureBufferSize));
    commands.AddRequest("RBasicInfo", BufferCall<&SimulatedRemote::RBasicInfo>(
                                          SimulatedRemote::kIdentityBufferSize));
    commands.AddRequest("WCodeTypeData", [](ServerState& state, const wire::Message& request) {
        return CallReply(request.size() == 2 && state.remote.WCodeTypeData(request[1].c_str()));
    });
}
