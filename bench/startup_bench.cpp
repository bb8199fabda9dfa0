// From program start to the end of RunStartup: the splash shown and painted, the main window
// built and the whole start-up handshake with the default remote, in-process (the half-second
// wait of the splash excluded). Further figures split it: the splash, the window with its
// handshake, and the handshake without widgets.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "main_window.h"
#include "prompter.h"
#include "remote_image_builder.h"
#include "simulated_device.h"
#include "splash_window.h"

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
    SimulatedDevice device(remote);
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

void StartupReadingOnly(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice device(remote);
    NoPrompts prompter;
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>(device, prompter);
        benchmark::DoNotOptimize(window->Map().keySlots.data());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartupReadingOnly)->Unit(benchmark::kMillisecond);

// The handshake alone, without widgets: the sixteen steps against the in-process remote.
class NoView final : public StartupView {
  public:
    void SetApplicationTitle(const QString&) override {}
    void ResetWindowState() override {}
    void ProcessPendingEvents() override {}
    void SetFirmwareVersionLabel(const QString&) override {}
    void SetRemoteTypeLabel(const QString&) override {}
    void SetDiagnosticText(const QString&) override {}
};

void HandshakeOnly(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice device(remote);
    NoPrompts prompter;
    NoView view;
    for (auto _ : state) {
        StartupResult result = RunStartupHandshake(device, prompter, view);
        benchmark::DoNotOptimize(result.map.keySlots.data());
    }
}
BENCHMARK(HandshakeOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
