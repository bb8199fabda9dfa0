// One learning attempt from the arrival of the capture to the last write issued: cut,
// normalise, convert with the converter library loaded by name, and write the key entry (and,
// for a code new to the remote, its data and the code table). Against the in-process simulated
// remote and against a remote-sim process through libzorvik. Between iterations, outside the
// timing, the key is released again so that every attempt writes the same things.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/startup_reading.h"
#include "learning/learn_capture.h"
#include "learning/release_key_entry.h"
#include "sim/remote_image_builder.h"
#include "tests/support/fired_codes.h"
#include "tests/support/remote_sim_process.h"
#include "tests/support/simulated_device.h"

namespace {

const QString kConverterDir = QStringLiteral(KEYLEARN_CONVERTER_DIR);
constexpr KeyCode kKey = 0x01;

const std::string& CaptureFor(int kind) {
    static const std::string protocol =
        fired_codes::ProtocolCapture({"NEC1", "D=4", "F=8"}, {.padToBuffer = true});
    static const std::string raw = fired_codes::RawCapture({.padToBuffer = true});
    return kind == 0 ? protocol : raw;
}

void RunAttempts(benchmark::State& state, DeviceLibrary& device) {
    const std::string& capture = CaptureFor(static_cast<int>(state.range(0)));
    RemoteMap map = ReadRemoteAtStartup(device).map;
    const std::size_t slot = 1;  // key 01's slot in the default remote
    for (auto _ : state) {
        const CaptureLearning attempt = LearnCapture(map, device, kKey, capture, kConverterDir);
        if (!attempt.Succeeded()) {
            state.SkipWithError("the attempt failed");
            break;
        }
        state.PauseTiming();
        ReleaseKeyEntry(map, device, slot);
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "direct code (NEC1)" : "new table code (raw)");
}

void InProcess(benchmark::State& state) {
    SimulatedRemote remote(RemoteImageBuilder::DefaultRemote().Build());
    SimulatedDevice entryPoints(remote);
    DeviceLibrary device(entryPoints);
    RunAttempts(state, device);
}
BENCHMARK(InProcess)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void ThroughRemoteSim(benchmark::State& state) {
    TestFolder folder;
    const std::string socketPath = folder.File("s");
    ::setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
    RemoteSimServerProcess server(socketPath, folder.File("image"), folder.File("log"));
    if (!server.Start()) {
        state.SkipWithError("remote-sim did not start");
        return;
    }
    LinkedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    RunAttempts(state, device);
    server.Stop(SIGTERM);
}
BENCHMARK(ThroughRemoteSim)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
