#pragma once
// A FIFO standing in for a device that a program writes into (a LIRC transmitter): made where
// the test says, read by a thread of its own from before the program opens it, so that the
// program finds a reader and never waits for room however much it writes; what was written is
// handed back once every writer has closed it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <utility>

class FifoCollector {
  public:
    // Makes the FIFO at path and starts reading it; Reading() tells whether that worked.
    explicit FifoCollector(std::string path) : path_(std::move(path)) {
        if (::mkfifo(path_.c_str(), 0600) != 0)
            return;
        made_ = true;
        reader_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader_ < 0)
            return;
        // A writer end of its own, so that the reader sees no end before the program has even
        // opened the FIFO; closed in Collected().
        ownWriter_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (ownWriter_ < 0)
            return;
        ::fcntl(reader_, F_SETFL, ::fcntl(reader_, F_GETFL) & ~O_NONBLOCK);
        reading_ = std::thread([this] { ReadToEnd(); });
    }
    ~FifoCollector() {
        Collected();
        if (reader_ >= 0)
            ::close(reader_);
        if (made_)
            ::unlink(path_.c_str());
    }
    FifoCollector(const FifoCollector&) = delete;
    FifoCollector& operator=(const FifoCollector&) = delete;

    const std::string& Path() const { return path_; }
    bool Reading() const { return reading_.joinable(); }

    // Every byte written into the FIFO; waits until each writer has closed it.
    std::string Collected() {
        if (ownWriter_ >= 0) {
            ::close(ownWriter_);
            ownWriter_ = -1;
        }
        if (reading_.joinable())
            reading_.join();
        return bytes_;
    }

  private:
    void ReadToEnd() {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(reader_, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return;
            bytes_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    std::string path_;
    bool made_ = false;
    int reader_ = -1;
    int ownWriter_ = -1;
    // Written by the reading thread alone, read only after it has been joined.
    std::string bytes_;
    std::thread reading_;
};
