// From program start to the end of RunStartup: the splash shown and painted, the main window
// built and the whole start-up handshake with the default remote, in-process (the half-second
// wait of the splash excluded). Further figures split it: the splash, the window with its
// handshake, and the reading of the remote without widgets.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/splash_window.h"
#include "device/device_library.h"
#include "device/startup_reading.h"
#include "platform/prompter.h"
#include "sim/remote_image_builder.h"
#include "tests/support/simulated_device.h"
#include "ui/main_window.h"

namespace {

// The default remote raises no prompt; any prompt would be a fault of the benchmark's setup.
class NoPrompts final : public Prompter {
  public:
    void Information(const QString&, const QString&) override { std::abort(); }
    bool Question(const QString&, const QString&) override { std::abort(); }
    bool RetryCancel(const QString&, const QString&) override { std::abort(); }
    bool OkCancel(const QString&, const QString&) override { std::abort(); }
    void PlainMessage(const QString&) override { std::abort(); }
};

// Each iteration's windows are destroyed outside the timing: closing is not part of start-up.
void StartToEndOfStartupReading(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice entryPoints(remote);
    DeviceLibrary device(entryPoints);
    NoPrompts prompter;
    for (auto _ : state) {
        auto splash = std::make_unique<SplashWindow>();
        splash->show();
        splash->repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        auto window = std::make_unique<MainWindow>(device, prompter);
        benchmark::DoNotOptimize(window->Map().keySlots.data());
        state.PauseTiming();
        window.reset();
        splash.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToEndOfStartupReading)->Unit(benchmark::kMillisecond);

void SplashOnly(benchmark::State& state) {
    for (auto _ : state) {
        auto splash = std::make_unique<SplashWindow>();
        splash->show();
        splash->repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        state.PauseTiming();
        splash.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(SplashOnly)->Unit(benchmark::kMillisecond);

void WindowWithStartup(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice entryPoints(remote);
    DeviceLibrary device(entryPoints);
    NoPrompts prompter;
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>(device, prompter);
        benchmark::DoNotOptimize(window->Map().keySlots.data());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(WindowWithStartup)->Unit(benchmark::kMillisecond);

// The reading alone, without widgets: every read of start-up against the in-process remote.
void StartupReadingOnly(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice entryPoints(remote);
    DeviceLibrary device(entryPoints);
    for (auto _ : state) {
        StartupReading reading = ReadRemoteAtStartup(device);
        benchmark::DoNotOptimize(reading.map.keySlots.data());
    }
}
BENCHMARK(StartupReadingOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
