// From program start to the end of FormCreate: the splash shown and painted, the main window
// built and the whole start-up handshake with the default remote, in-process (the half-second
// wait of the splash excluded). A second figure gives the window and handshake alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "mainstudy.h"
#include "prompter.h"
#include "qidong.h"
#include "remote_image_builder.h"
#include "simulated_device.h"

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

void StartToEndOfFormCreate(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice device(remote);
    NoPrompts prompter;
    for (auto _ : state) {
        TForm1 splash;
        splash.show();
        splash.repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        Tmainkeylearn window(device, prompter);
        benchmark::DoNotOptimize(window.Map().keySlots.data());
        state.PauseTiming();
        // Closing the windows is not part of start-up.
        splash.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToEndOfFormCreate)->Unit(benchmark::kMillisecond);

void FormCreateOnly(benchmark::State& state) {
    SimulatedRemote remote(DefaultRemoteImage());
    SimulatedDevice device(remote);
    NoPrompts prompter;
    for (auto _ : state) {
        Tmainkeylearn window(device, prompter);
        benchmark::DoNotOptimize(window.Map().keySlots.data());
    }
}
BENCHMARK(FormCreateOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
