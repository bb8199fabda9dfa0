// The cost of one device call: libzorvik over the local socket to a remote-sim process that
// this program starts on a private socket and image, next to the same call in-process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "libzorvik/wire.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_memory_layout.h"
#include "sim/simulated_remote.h"
#include "zorvik.h"

namespace {

constexpr int kUnitsOf2048Bytes = 2048 / 8;

void BM_LinkState(benchmark::State& state) {
    for (auto _ : state) {
        if (!link_state())
            state.SkipWithError("link_state failed");
    }
}
BENCHMARK(BM_LinkState);

void BM_Read2048Bytes(benchmark::State& state) {
    std::vector<char> buffer(16 * kUnitsOf2048Bytes);
    for (auto _ : state) {
        if (!readdatav20(buffer.data(), kUnitsOf2048Bytes, "80", "00", "08"))
            state.SkipWithError("readdatav20 failed");
    }
    state.SetBytesProcessed(state.iterations() * 2048);
}
BENCHMARK(BM_Read2048Bytes);

void BM_Identity(benchmark::State& state) {
    std::vector<char> buffer(ZORVIK_IDENTITY_BUFFER_SIZE);
    for (auto _ : state) {
        if (!RBasicInfo(buffer.data()))
            state.SkipWithError("RBasicInfo failed");
    }
}
BENCHMARK(BM_Identity);

// A key entry: the remote saves its image to disk before it answers.
void BM_WriteKeyEntry(benchmark::State& state) {
    const std::string entry(2 * remote_layout::kKeyEntryBytes, 'C');
    for (auto _ : state) {
        if (!writedatav20("08", "90", "00", entry.c_str()))
            state.SkipWithError("writedatav20 failed");
    }
}
BENCHMARK(BM_WriteKeyEntry)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_InProcessRead2048Bytes(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    std::vector<char> buffer(16 * kUnitsOf2048Bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            remote.readdatav20(buffer.data(), kUnitsOf2048Bytes, "80", "00", "08"));
}
BENCHMARK(BM_InProcessRead2048Bytes);

bool Answers(const std::string& socketPath) {
    const auto deadline = wire::Clock::now() + std::chrono::seconds(1);
    const int fd = wire::ConnectLocalSocket(socketPath, deadline);
    if (fd < 0)
        return false;
    wire::Message reply;
    const bool ok =
        wire::SendAll(fd, wire::EncodeFrame({"status"}), deadline) == wire::IoResult::kOk &&
        wire::ReceiveFrame(fd, reply, deadline) == wire::IoResult::kOk;
    ::close(fd);
    return ok;
}

}  // namespace

extern char** environ;

int main(int argc, char** argv) {
    char pattern[] = "/tmp/klbench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    const std::string folder = pattern;
    const std::string socketPath = folder + "/s";
    const std::string imagePath = folder + "/image";
    setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {REMOTE_SIM_PATH, "serve", "--image", imagePath};
    std::vector<char*> argvServer;
    for (auto& a : args)
        argvServer.push_back(a.data());
    argvServer.push_back(nullptr);
    pid_t server = -1;
    if (posix_spawn(&server, REMOTE_SIM_PATH, &actions, nullptr, argvServer.data(), environ) != 0)
        return 1;
    posix_spawn_file_actions_destroy(&actions);
    bool ready = false;
    for (int i = 0; i < 500 && !ready; ++i) {
        ready = Answers(socketPath);
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    int result = 1;
    if (ready) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        result = 0;
    } else {
        std::fprintf(stderr, "remote-sim did not start\n");
    }
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
