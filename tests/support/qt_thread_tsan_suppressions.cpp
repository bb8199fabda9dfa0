// Linked into thread-sanitizer builds of tests that run the link monitor. Qt is not
// instrumented, and it hands things between threads through its own futex-based mutexes, which
// the sanitizer cannot see. Two such hand-overs are excused, and nothing else:
// - a call the monitor posts to the UI thread: the call object, built by the monitor inside
//   QMetaObject::invokeMethod, is run on the UI thread after Qt's posted-event queue has passed
//   it over, and deleted by whichever thread lets go of it last;
// - a finished QThread: when QThread::wait() finds the thread already ended it learns so under
//   Qt's mutex, so destroying the thread's wait condition looks like a race with the broadcast
//   the thread made as it ended.
// What the calls do with shared state goes through the program's own std::mutex and is still
// checked.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
    return "race:invokeMethod<LinkMonitor::\n"
           "race:QMetaObject::invokeMethodImpl\n"
           "race:QWaitCondition::~QWaitCondition\n";
}
#endif
