// What the link monitor costs while the link is up: it watches a remote-sim process that this
// program starts on a private socket and image, through libzorvik, for 10 seconds (or the
// seconds given as the first argument), and prints the CPU used by this process (the monitor's
// thread and the event loop carrying its label updates) and by remote-sim, as a share of one core.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/cpu_time.h"
#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/link_monitor.h"
#include "tests/support/remote_sim_process.h"

namespace {

// The window's side, doing nothing but counting the labels it is given.
class CountingView final : public QObject, public LinkMonitorView {
  public:
    int labels = 0;
    int losses = 0;
    void ShowLinkState(bool attached) override {
        ++labels;
        if (!attached)
            ++losses;
    }
    void SetKeyControlsAvailable(bool) override {}
    LossAnswer AskAfterLoss() override { return LossAnswer::kEnd; }
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    QCoreApplication app(argc, argv);
    TestFolder folder;
    const std::string socketPath = folder.File("s");
    ::setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
    RemoteSimServerProcess server(socketPath, folder.File("image"), folder.File("log"));
    if (!server.Start()) {
        std::fprintf(stderr, "remote-sim did not start\n");
        return 1;
    }

    LinkedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    const std::string identity = device.Identity().value_or(std::string()).substr(0, 30);
    CountingView view;
    LinkMonitor monitor(device, identity, view, view);

    const double processBefore = bench::ProcessCpuSeconds();
    const double serverBefore = bench::OtherProcessCpuSeconds(server.Pid());
    const auto start = std::chrono::steady_clock::now();
    monitor.start();
    QTimer::singleShot(std::chrono::seconds(seconds), Qt::PreciseTimer, &app,
                       &QCoreApplication::quit);
    QCoreApplication::exec();
    monitor.StopAndJoin();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double process = bench::ProcessCpuSeconds() - processBefore;
    const double serverCpu = bench::OtherProcessCpuSeconds(server.Pid()) - serverBefore;
    server.Stop(SIGTERM);

    std::printf("link monitor over %.1f s: %d cycles (%d without the remote)\n", wall, view.labels,
                view.losses);
    std::printf("  this process (monitor and its label updates): %.3f s CPU = %.3f %% of a core\n",
                process, 100.0 * process / wall);
    std::printf("  remote-sim answering it:                     %.3f s CPU = %.3f %% of a core\n",
                serverCpu, 100.0 * serverCpu / wall);
    return view.losses == 0 && view.labels > 0 ? 0 : 1;
}
