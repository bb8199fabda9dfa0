// What waiting for a code costs while none comes: one whole wait up to the capture limit (8
// seconds, or the seconds given as the first argument), against the in-process simulated
// remote answering every poll at once (so only the loop's own pause keeps it from spinning)
// and against a remote-sim process through libzorvik. Prints the CPU of this process, and of
// remote-sim, as a share of one core.
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/cpu_time.h"
#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "learning/capture_loop.h"
#include "sim/remote_image_builder.h"
#include "tests/support/remote_sim_process.h"
#include "tests/support/simulated_device.h"

namespace {

struct Wait {
    double wall = 0;
    double cpu = 0;
    int polls = 0;
    CaptureEnd end = CaptureEnd::kCaptured;
};

Wait MeasureWait(DeviceLibrary& device, std::chrono::seconds limit,
                 const std::function<int()>& pollCount) {
    CaptureControl control;
    CaptureTiming timing;
    timing.limit = limit;
    const int pollsBefore = pollCount();
    const double cpuBefore = bench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const CaptureResult result = WaitForCapture(device, control, timing);
    Wait wait;
    wait.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    wait.cpu = bench::ProcessCpuSeconds() - cpuBefore;
    wait.polls = pollCount() - pollsBefore;
    wait.end = result.end;
    return wait;
}

void Print(const char* against, const Wait& wait) {
    std::printf("%s: waited %.2f s, %.4f s CPU = %.3f %% of a core\n", against, wait.wall, wait.cpu,
                100.0 * wait.cpu / wait.wall);
    if (wait.polls > 0)
        std::printf("  %d polls\n", wait.polls);
}

}  // namespace

int main(int argc, char** argv) {
    const std::chrono::seconds limit(argc > 1 ? std::atoi(argv[1]) : 8);

    SimulatedRemote remote(RemoteImageBuilder::DefaultRemote().Build());
    remote.SetCollectWait(std::chrono::milliseconds(0));
    SimulatedDevice simulated(remote);
    DeviceLibrary inProcess(simulated);
    const Wait local = MeasureWait(inProcess, limit,
                                   [&] { return remote.CallCount(DeviceCall::kCollectCodeInfo); });
    Print("in-process remote, answering at once", local);

    TestFolder folder;
    const std::string socketPath = folder.File("s");
    ::setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
    RemoteSimServerProcess server(socketPath, folder.File("image"), folder.File("log"));
    if (!server.Start()) {
        std::fprintf(stderr, "remote-sim did not start\n");
        return 1;
    }
    LinkedEntryPoints linked;
    DeviceLibrary library(linked);
    const double serverBefore = bench::OtherProcessCpuSeconds(server.Pid());
    const Wait overSocket = MeasureWait(library, limit, [] { return 0; });
    const double serverCpu = bench::OtherProcessCpuSeconds(server.Pid()) - serverBefore;
    server.Stop(SIGTERM);
    Print("remote-sim through libzorvik", overSocket);
    std::printf("  remote-sim answering it: %.4f s CPU = %.3f %% of a core\n", serverCpu,
                100.0 * serverCpu / overSocket.wall);
    return local.end == CaptureEnd::kTimedOut && overSocket.end == CaptureEnd::kTimedOut ? 0 : 1;
}
