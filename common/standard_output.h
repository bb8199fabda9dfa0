#pragma once
// The standard output of a command-line program that knows whether its output arrived. A write
// that fails (a full disk, /dev/full, an I/O error) makes the run a failure, told in one line on
// standard error; a reader that went away (`| head -1`) ends the program quietly, by SIGPIPE, as
// Unix tools end on a closed pipe, but only after the command has done its work: a command that
// changes the remote is never cut off halfway by its reader.
//
// While a CheckedStandardOutput lives, std::cout writes through it to file descriptor 1: in
// whole lines on a terminal, in large blocks elsewhere, and nothing after the first failed write
// (std::cout then reports the failure, so that a long-running loop can stop).

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <utility>

namespace command_line {

class CheckedStandardOutput : private std::streambuf {
  public:
    explicit CheckedStandardOutput(std::string program)
        : program_(std::move(program)), wholeLines_(::isatty(STDOUT_FILENO) == 1) {
        // A closed pipe shows as EPIPE on the write that meets it, and is handled in Finish.
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &previousPipeAction_);
        std::cout.flush();
        previousBuffer_ = std::cout.rdbuf(this);
    }
    ~CheckedStandardOutput() override { Release(); }
    CheckedStandardOutput(const CheckedStandardOutput&) = delete;
    CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;

    // The exit status of a command that gave `status`, after its last output is written: an
    // output that could not be written turns success into 1 and is told on standard error; a
    // reader that went away ends the program by SIGPIPE here.
    int Finish(int status) {
        std::cout.flush();
        Release();
        if (writeError_ == 0)
            return status;
        if (writeError_ == EPIPE)
            EndAsOnAClosedPipe();
        std::cerr << program_
                  << ": cannot write the standard output: " << std::strerror(writeError_) << '\n';
        return status == 0 ? 1 : status;
    }

  private:
    static constexpr std::size_t kBlock = 64 * 1024;

    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return WriteOut() ? traits_type::not_eof(c) : traits_type::eof();
        pending_.push_back(traits_type::to_char_type(c));
        if (pending_.size() >= kBlock || (wholeLines_ && c == '\n'))
            return WriteOut() ? c : traits_type::eof();
        return writeError_ == 0 ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        const bool lineEnded =
            wholeLines_ && count > 0 && std::memchr(text, '\n', static_cast<std::size_t>(count));
        if ((pending_.size() >= kBlock || lineEnded) && !WriteOut())
            return 0;
        return writeError_ == 0 ? count : 0;
    }

    int sync() override { return WriteOut() ? 0 : -1; }

    // Writes what is pending; false once any write has failed (what follows is dropped).
    bool WriteOut() {
        std::size_t at = 0;
        while (writeError_ == 0 && at < pending_.size()) {
            const ssize_t written =
                ::write(STDOUT_FILENO, pending_.data() + at, pending_.size() - at);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                writeError_ = errno;
            else
                at += static_cast<std::size_t>(written);
        }
        pending_.clear();
        return writeError_ == 0;
    }

    void Release() {
        if (!previousBuffer_)
            return;
        std::cout.rdbuf(previousBuffer_);
        previousBuffer_ = nullptr;
        ::sigaction(SIGPIPE, &previousPipeAction_, nullptr);
    }

    [[noreturn]] static void EndAsOnAClosedPipe() {
        ::signal(SIGPIPE, SIG_DFL);
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        ::sigprocmask(SIG_UNBLOCK, &pipe, nullptr);
        ::raise(SIGPIPE);
        ::_exit(128 + SIGPIPE);  // the status a shell shows for a program ended by SIGPIPE
    }

    std::string program_;
    bool wholeLines_ = false;
    std::string pending_;
    int writeError_ = 0;  // errno of the first failed write; 0 while every write arrived
    std::streambuf* previousBuffer_ = nullptr;
    struct sigaction previousPipeAction_ {};
};

}  // namespace command_line
