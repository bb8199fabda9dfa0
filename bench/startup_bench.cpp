// bench_startup: what starting keylearn costs, from exec to its main window on the screen, set
// against a bare Qt window of the same size started the same way in the same run.
//
// It starts a remote-sim on a private socket and runtime folder, then runs itself again as a
// child, in turn in three roles: "keylearn" runs the program (RunProgram with the real device
// library, the real boxes, the built skins and the picture cache), "bare" shows an empty
// frameless 1028 x 737 window, and "label" the same window with one line of Chinese text in it:
// the least any window that shows text costs (the font database, a font of Chinese glyphs, the
// text shaper), which keylearn cannot do without. Before them keylearn runs once with an empty
// picture cache: a first start, reported on its own. Each child watches its own windows and, once
// its main window has been painted, reports the time (the monotonic clock, shared by every process)
// and the CPU its process has used so far, summed over all its threads, and ends. The splash's own
// time on the screen (the remote's reading and the half-second wait) is taken out of keylearn's
// wall time: what counts is the time a user sees nothing, before the splash and after it.
//
//   bench_startup [RUNS]   (default 7; medians are printed)
//
// Run it on the display to be measured (xvfb-run, or a desktop); without one it uses Qt's
// offscreen platform, which leaves the window system out.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMetaObject>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/program.h"
#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "platform/picture_cache.h"
#include "tests/support/remote_sim_process.h"
#include "ui/message_box_prompter.h"
#include "ui/window_layout.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

struct Cpu {
    double user = 0;
    double system = 0;
};

Cpu CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// ---- The child's side

// Notes when the splash is painted and hidden, and reports once the main window has been
// painted (after the paint: the frame is on its way to the screen then), then ends the run.
class ShownProbe final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QString name = watched->objectName();
        if (name == QLatin1String("splashWindow")) {
            if (event->type() == QEvent::Paint && splashUp_ == 0)
                splashUp_ = NowNs();
            else if (event->type() == QEvent::Hide && splashGone_ == 0)
                splashGone_ = NowNs();
        } else if (name == QLatin1String("mainWindow") && event->type() == QEvent::Paint &&
                   !reported_) {
            reported_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const long long shown = NowNs();
                    const Cpu cpu = CpuSeconds();
                    std::printf("%lld %.6f %.6f %lld %lld\n", shown, cpu.user, cpu.system,
                                splashUp_, splashGone_);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    long long splashUp_ = 0;
    long long splashGone_ = 0;
    bool reported_ = false;
};

int RunChild(const char* role, char* program) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    ShownProbe probe;
    app.installEventFilter(&probe);
    if (std::strcmp(role, "bare") == 0 || std::strcmp(role, "label") == 0) {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setObjectName(QStringLiteral("mainWindow"));
        window.setFixedSize(window_layout::kClientSize);
        if (std::strcmp(role, "label") == 0)
            (new QLabel(QStringLiteral("遥控器连接正常"), &window))->move(10, 10);
        window.show();
        return QApplication::exec();
    }
    LinkedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    MessageBoxPrompter prompter;
    PictureCache pictureCache(PictureCacheFile(), ProgramEdition());
    WindowServices services;
    services.programFolder = QStringLiteral(KEYLEARN_PROGRAM_FOLDER);
    services.pictureCache = &pictureCache;
    const int exitCode = RunProgram(device, prompter, services);
    // As the program does on its way out: a run that ends at its first paint keeps what it
    // decoded, after its report.
    pictureCache.Save();
    return exitCode;
}

// ---- The parent's side

struct Run {
    double wallMs = 0;           // exec to the main window painted
    double cpuMs = 0;            // the child's CPU to then, all threads
    double systemMs = 0;         // of which in the kernel
    double splashMs = 0;         // the splash on the screen (keylearn only)
    double afterSplashMs = 0;    // the splash gone to the main window painted (keylearn only)
    double withoutSplashMs = 0;  // wallMs less splashMs
};

bool RunOnce(const char* self, const char* role, Run& run) {
    int out[2];
    if (::pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char* argv[] = {const_cast<char*>(self), const_cast<char*>("--child"), const_cast<char*>(role),
                    nullptr};
    pid_t pid = -1;
    const long long start = NowNs();
    const int spawned = ::posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return false;
    }
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    long long shown = 0, splashUp = 0, splashGone = 0;
    double user = 0, system = 0;
    if (std::sscanf(text.c_str(), "%lld %lf %lf %lld %lld", &shown, &user, &system, &splashUp,
                    &splashGone) != 5) {
        std::fprintf(stderr, "the %s run reported nothing (exit status %d)\n", role, status);
        return false;
    }
    run.wallMs = (shown - start) / 1e6;
    run.cpuMs = (user + system) * 1e3;
    run.systemMs = system * 1e3;
    if (splashUp != 0 && splashGone != 0) {
        run.splashMs = (splashGone - splashUp) / 1e6;
        run.afterSplashMs = (shown - splashGone) / 1e6;
    }
    run.withoutSplashMs = run.wallMs - run.splashMs;
    return true;
}

double Median(std::vector<Run>& runs, double Run::*field) {
    std::vector<double> values;
    for (const Run& run : runs)
        values.push_back(run.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int RunParent(const char* self, int runs) {
    TestFolder folder;
    const std::string socketPath = folder.File("s");
    ::setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
    // The children's animation folder and picture cache, apart from any other run's.
    ::setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", folder.Path().c_str(), 1);
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        // The offscreen screen is 800 x 600 unless told otherwise, and on it the program would
        // warn that the screen is too small: the run would measure that box, not the window.
        const std::string screens = folder.File("screens.json");
        if (FILE* file = std::fopen(screens.c_str(), "w")) {
            std::fputs(
                "{\"screens\": [{\"name\": \"bench\", \"x\": 0, \"y\": 0, "
                "\"width\": 1280, \"height\": 1024}]}\n",
                file);
            std::fclose(file);
        }
        std::printf("no display: measuring on the offscreen platform (a 1280 x 1024 screen)\n");
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
    }
    RemoteSimServerProcess server(socketPath, folder.File("image"), folder.File("log"));
    if (!server.Start()) {
        std::fprintf(stderr, "remote-sim did not start: %s\n", server.Log().c_str());
        return 1;
    }
    Run first;
    if (!RunOnce(self, "keylearn", first))
        return 1;
    std::vector<Run> bare, label, keylearn;
    const std::vector<const char*> roles{"bare", "label", "keylearn"};
    for (int i = 0; i < runs; ++i) {
        // Each role first in turn, so that none always meets a warm or a cold system cache.
        for (std::size_t r = 0; r < roles.size(); ++r) {
            const char* role = roles[(r + std::size_t(i)) % roles.size()];
            Run run;
            if (!RunOnce(self, role, run))
                return 1;
            (std::strcmp(role, "bare") == 0    ? bare
             : std::strcmp(role, "label") == 0 ? label
                                               : keylearn)
                .push_back(run);
        }
    }
    const double bareWall = Median(bare, &Run::wallMs);
    const double bareCpu = Median(bare, &Run::cpuMs);
    const double cpu = Median(keylearn, &Run::cpuMs);
    const double withoutSplash = Median(keylearn, &Run::withoutSplashMs);
    std::printf("medians of %d runs, exec to the main window painted:\n", runs);
    std::printf("  bare Qt window    wall %7.1f ms   cpu %7.1f ms (system %5.1f ms)\n", bareWall,
                bareCpu, Median(bare, &Run::systemMs));
    const double labelCpu = Median(label, &Run::cpuMs);
    std::printf("  window with text  wall %7.1f ms   cpu %7.1f ms (system %5.1f ms)\n",
                Median(label, &Run::wallMs), labelCpu, Median(label, &Run::systemMs));
    std::printf("  keylearn          wall %7.1f ms   cpu %7.1f ms (system %5.1f ms)\n",
                Median(keylearn, &Run::wallMs), cpu, Median(keylearn, &Run::systemMs));
    std::printf("    splash on the screen  %7.1f ms\n", Median(keylearn, &Run::splashMs));
    std::printf("    splash gone to shown  %7.1f ms\n", Median(keylearn, &Run::afterSplashMs));
    std::printf("    without the splash    %7.1f ms\n", withoutSplash);
    std::printf("  keylearn's first start (nothing cached): wall %.1f ms, cpu %.1f ms\n",
                first.wallMs, first.cpuMs);
    std::printf("keylearn / bare: cpu %.2f, wall without the splash %.2f (goal: both <= 1.30)\n",
                cpu / bareCpu, withoutSplash / bareWall);
    std::printf("keylearn / window with text: cpu %.2f, wall without the splash %.2f\n",
                cpu / labelCpu, withoutSplash / Median(label, &Run::wallMs));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argv[2], argv[0]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    // The children are started from this very file, so both roles load the same libraries.
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return 1;
    self[length] = '\0';
    return RunParent(self, runs);
}
