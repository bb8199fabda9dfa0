#include "app/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The two ends of the socket pair: the handler writes into the first, the UI thread reads the
// second. -1 while no TerminationSignals exists.
int signalSocket[2] = {-1, -1};

struct sigaction previous[kSignals.size()];

extern "C" void OnTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Nothing to do when the socket is full: a byte that waits says enough.
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalSocket) != 0) {
        signalSocket[0] = signalSocket[1] = -1;
        qWarning("termination signals are not caught: no socket pair");
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalSocket[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { OnSignalByte(); });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Slow calls go on after the handler; the default comes back once it has run.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (signalSocket[0] < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    notifier_.reset();
    ::close(signalSocket[0]);
    ::close(signalSocket[1]);
    signalSocket[0] = signalSocket[1] = -1;
}

void TerminationSignals::OnSignalByte() {
    unsigned char byte = 0;
    while (::read(signalSocket[1], &byte, 1) == 1) {
        received_ = true;
        // Every running event loop ends, a box's among them; a box opened later returns at
        // once, until the main loop has ended too.
        QCoreApplication::exit(0);
    }
}
