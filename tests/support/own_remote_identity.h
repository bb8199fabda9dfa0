#pragma once
// A simulated remote of a test's own. Programs that change a remote (keylearn, remotectl) lock it
// in the user's own lock folder, by its identity, whatever their environment; test programs
// running at once (or other people's on the same machine) share that folder, so no two of their
// remote-sims may have the same identity. This one gives the remote serving on a socket an
// identity of its own: the default remote's first nine bytes, then the process id and a count.
// When it goes (every program that locked the remote has ended by then) it takes the lock file
// with it.

#include <unistd.h>

#include <QFile>
#include <QString>
#include <atomic>
#include <cstdio>
#include <string>

#include "platform/remote_lock.h"
#include "sim/remote_image_builder.h"
#include "tests/support/remote_sim_process.h"

class OwnRemoteIdentity {
  public:
    OwnRemoteIdentity() {
        static std::atomic<unsigned> remotes{0};
        char tail[16];
        std::snprintf(tail, sizeof tail, "%08X%04X", static_cast<unsigned>(::getpid()),
                      ++remotes & 0xFFFFu);
        text_ = default_remote::kIdentityText.substr(0, kKeptDigits) + tail;
    }
    ~OwnRemoteIdentity() {
        if (const auto folder = UserLockFolder())
            QFile::remove(*folder + QLatin1Char('/') + RemoteLockFileName(Text()));
    }
    OwnRemoteIdentity(const OwnRemoteIdentity&) = delete;
    OwnRemoteIdentity& operator=(const OwnRemoteIdentity&) = delete;

    // Writes it into the info block of the remote serving on socketPath; the error output of
    // remote-sim when that failed, else empty.
    std::string GiveTo(const std::string& socketPath) const {
        // Bytes 9 to 14 of the info block at B000 are the identity's last six.
        const CommandResult written =
            RunRemoteSim({"write", "B009", text_.substr(kKeptDigits)}, socketPath);
        return written.exitCode == 0 ? std::string() : written.err + "(no answer)";
    }

    const std::string& Std() const { return text_; }
    QString Text() const { return QString::fromStdString(text_); }

  private:
    static constexpr std::size_t kKeptDigits = 18;
    std::string text_;
};
