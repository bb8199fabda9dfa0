#pragma once
// TerminationSignals: the requests to end that come as signals, SIGTERM (kill, a service
// manager), SIGINT (Ctrl-C in the terminal that started the program) and SIGHUP (the end of
// the session: a logout, a closed terminal). Left to their default the process dies on the
// spot, leaving behind what a close cleans up (the run's private animation folder among it).
// Caught, each only makes the program leave its event loops, so that the window and its
// session end as after a close: the capture and the link monitor stopped and joined, the
// animation folder deleted, the remote's lock released.
//
// The handler only writes a byte to a socket that the UI thread watches (the one thing a
// signal handler may safely do); everything else happens on the UI thread. Each handler is
// reset to the default once it has run, so that a second signal ends a program that does not
// get to its event loop any more.

#include <memory>

class QSocketNotifier;

class TerminationSignals final {
  public:
    // Catches the three signals until destroyed; one object at a time, on the UI thread.
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Whether one of the signals has come and been seen by the UI thread, which has then told
    // every event loop to exit.
    bool Received() const { return received_; }

  private:
    void OnSignalByte();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool received_ = false;
};
