// libzorvik against a real remote-sim process on a private socket.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "libzorvik/wire.h"
#include "sim/remote_image_builder.h"
#include "tests/support/remote_sim_process.h"
#include "zorvik.h"

namespace {

constexpr char kGuard = 0x5A;

// A zero-filled buffer of the call site's size with guard bytes behind it.
struct Buffer {
    explicit Buffer(std::size_t length) : size(length), bytes(length + 64, kGuard) {
        std::memset(bytes.data(), 0, length);
    }
    char* data() { return bytes.data(); }
    std::string Text() const { return std::string(bytes.data(), size); }
    std::string CText() const { return std::string(bytes.data(), strnlen(bytes.data(), size)); }
    bool GuardIntact() const {
        return std::string(bytes.begin() + static_cast<long>(size), bytes.end()) ==
               std::string(64, kGuard);
    }
    std::size_t size;
    std::vector<char> bytes;
};

std::string Read(int units, const char* high, const char* low, const char* bank = "08") {
    Buffer buffer(16 * static_cast<std::size_t>(units));
    if (!readdatav20(buffer.data(), units, high, low, bank))
        return "(failed)";
    EXPECT_TRUE(buffer.GuardIntact());
    return buffer.Text();
}

class ZorvikClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
        ASSERT_TRUE(server.Start()) << server.Log();
    }
    // A command of the remote's own command line, as a person would give it.
    void Command(const std::vector<std::string>& args, const std::string& input = {}) {
        const CommandResult result = RunRemoteSim(args, socketPath, input);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    TestFolder folder;
    std::string socketPath = folder.File("s");
    std::string imagePath = folder.File("image");
    RemoteSimServerProcess server{socketPath, imagePath, folder.File("log")};
};

TEST_F(ZorvikClientTest, EveryEntryPointReachesTheRemote) {
    EXPECT_TRUE(link_state());

    Buffer version(ZORVIK_VERSION_BUFFER_SIZE);
    ASSERT_TRUE(ReadVersion(version.data()));
    EXPECT_EQ(version.CText(), default_remote::kVersion);
    EXPECT_TRUE(version.GuardIntact());

    EXPECT_EQ(Read(1, "B0", "00"), "59485A4C37373331");
    EXPECT_EQ(Read(6, "B0", "00").size(), 96u);
    EXPECT_TRUE(writedatav20("08", "90", "00", "a1B2"));
    EXPECT_EQ(Read(1, "90", "00"), "A1B2000000000000");

    Buffer identity(ZORVIK_IDENTITY_BUFFER_SIZE);
    ASSERT_TRUE(RBasicInfo(identity.data()));
    EXPECT_EQ(identity.CText(), default_remote::kIdentityText);
    EXPECT_TRUE(identity.GuardIntact());

    EXPECT_TRUE(WCodeTypeData("0102"));
    EXPECT_FALSE(WCodeTypeData("01X2"));

    Buffer capture(ZORVIK_CAPTURE_BUFFER_SIZE);
    EXPECT_TRUE(SetCodeCarrierWave());
    EXPECT_FALSE(RCollectCodeInfo(capture.data())) << "nothing captured yet";
    Command({"capture", "-"}, "80230045\n");
    const CommandResult status = RunRemoteSim({"status"}, socketPath);
    EXPECT_NE(status.out.find("capture mode: on, a capture is waiting"), std::string::npos)
        << status.out;
    ASSERT_TRUE(RCollectCodeInfo(capture.data()));
    EXPECT_EQ(capture.CText(), "80230045");
    EXPECT_EQ(capture.Text().find_first_not_of('\0', 8), std::string::npos);
    EXPECT_TRUE(capture.GuardIntact());
    EXPECT_FALSE(RCollectCodeInfo(capture.data())) << "handed out once";
}

TEST_F(ZorvikClientTest, RefusalsOfTheRemoteArriveAsFalse) {
    EXPECT_EQ(Read(2, "FF", "F8"), "(failed)");
    EXPECT_EQ(Read(1, "B0", "00", "09"), "(failed)");
    EXPECT_EQ(Read(1, "B", "00"), "(failed)");
    Buffer buffer(16);
    EXPECT_FALSE(readdatav20(buffer.data(), 0, "B0", "00", "08"));
    EXPECT_FALSE(readdatav20(buffer.data(), 1, nullptr, "00", "08"));
    EXPECT_FALSE(writedatav20("08", "90", "00", "ABC"));
    EXPECT_FALSE(writedatav20("08", "90", "00", ""));
    EXPECT_TRUE(buffer.GuardIntact());
    EXPECT_EQ(Read(1, "90", "00"), "0000000000000000");
}

TEST_F(ZorvikClientTest, UnplugAndPlugFromTheCommandLine) {
    Command({"unplug"});
    EXPECT_FALSE(link_state());
    EXPECT_EQ(Read(1, "B0", "00"), "(failed)");
    EXPECT_FALSE(writedatav20("08", "90", "00", "01"));
    Command({"plug"});
    EXPECT_TRUE(link_state());
    EXPECT_EQ(Read(1, "90", "00"), "0000000000000000");
}

TEST_F(ZorvikClientTest, AKilledRemoteSimFailsCallsAndARestartedOneServesAgain) {
    ASSERT_TRUE(link_state());
    server.Stop(SIGKILL);
    Buffer buffer(ZORVIK_CAPTURE_BUFFER_SIZE);
    EXPECT_FALSE(link_state());
    EXPECT_FALSE(ReadVersion(buffer.data()));
    EXPECT_FALSE(readdatav20(buffer.data(), 1, "B0", "00", "08"));
    EXPECT_FALSE(writedatav20("08", "90", "00", "01"));
    EXPECT_FALSE(SetCodeCarrierWave());
    EXPECT_FALSE(RCollectCodeInfo(buffer.data()));
    EXPECT_FALSE(RBasicInfo(buffer.data()));
    EXPECT_FALSE(WCodeTypeData("01"));

    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_TRUE(link_state());
    EXPECT_EQ(Read(1, "B0", "00"), "59485A4C37373331");
}

TEST_F(ZorvikClientTest, ARestartBetweenCallsIsNotNoticed) {
    ASSERT_TRUE(link_state());
    server.Stop(SIGTERM);
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_TRUE(link_state()) << "the old connection is replaced without a failed call";
}

TEST_F(ZorvikClientTest, AWriteSurvivesTheDeathOfRemoteSim) {
    ASSERT_TRUE(writedatav20("08", "90", "20", "DEADBEEF"));
    server.Stop(SIGKILL);
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_EQ(Read(1, "90", "20"), "DEADBEEF00000000");
}

TEST_F(ZorvikClientTest, ThreeThreadsGetTheirOwnAnswers) {
    bool wrong[3] = {false, false, false};
    std::thread reader([&] {
        for (int i = 0; i < 200; ++i)
            wrong[0] |= Read(6, "B0", "00").substr(0, 16) != "59485A4C37373331";
    });
    std::thread monitor([&] {
        for (int i = 0; i < 200; ++i) {
            Buffer identity(ZORVIK_IDENTITY_BUFFER_SIZE);
            wrong[1] |= !link_state() || !RBasicInfo(identity.data()) ||
                        identity.CText() != default_remote::kIdentityText;
        }
    });
    std::thread capture([&] {
        Buffer buffer(ZORVIK_CAPTURE_BUFFER_SIZE);
        for (int i = 0; i < 10; ++i)
            wrong[2] |= !SetCodeCarrierWave() || RCollectCodeInfo(buffer.data()) || !link_state();
    });
    reader.join();
    monitor.join();
    capture.join();
    EXPECT_FALSE(wrong[0]);
    EXPECT_FALSE(wrong[1]);
    EXPECT_FALSE(wrong[2]);
}

class ZorvikWithoutRemoteTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1); }
    TestFolder folder;
    std::string socketPath = folder.File("s");
};

TEST_F(ZorvikWithoutRemoteTest, EveryCallFailsWhenNoRemoteSimIsThere) {
    Buffer buffer(ZORVIK_CAPTURE_BUFFER_SIZE);
    EXPECT_FALSE(link_state());
    EXPECT_FALSE(ReadVersion(buffer.data()));
    EXPECT_FALSE(readdatav20(buffer.data(), 1, "B0", "00", "08"));
    EXPECT_FALSE(writedatav20("08", "90", "00", "01"));
    EXPECT_FALSE(SetCodeCarrierWave());
    EXPECT_FALSE(RCollectCodeInfo(buffer.data()));
    EXPECT_FALSE(RBasicInfo(buffer.data()));
    EXPECT_FALSE(WCodeTypeData("01"));
    EXPECT_TRUE(buffer.GuardIntact());
}

// Something listens on the socket but never answers: the call gives up instead of hanging.
TEST_F(ZorvikWithoutRemoteTest, ASilentServerMakesCallsFail) {
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    Buffer buffer(ZORVIK_VERSION_BUFFER_SIZE);
    EXPECT_FALSE(link_state());
    EXPECT_FALSE(ReadVersion(buffer.data()));
    ::close(listener);
}

// Without a runtime folder the socket lies in /tmp/keylearn-UID, a fixed name in a folder every
// user can write to. The test plants that folder itself, with a remote-sim serving in it, and
// spoils it in the ways another user could; it stays out of the way of a folder that is
// already there (a remote-sim of this user's, or another run of this test).
class ZorvikFallbackFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
            savedRuntime = runtime;
        unsetenv("KEYLEARN_REMOTE_SOCKET");
        unsetenv("XDG_RUNTIME_DIR");
        ASSERT_EQ(wire::RemoteSocketPath(), wire::FallbackSocketPath());
        if (::mkdir(fallback.c_str(), 0700) != 0) {
            ASSERT_EQ(errno, EEXIST) << std::strerror(errno);
            GTEST_SKIP() << fallback << " is there already; not touching it";
        }
        planted = true;
    }
    void TearDown() override {
        server.Stop(SIGTERM);
        if (planted) {
            std::error_code ignored;
            std::filesystem::remove(fallback, ignored);  // the symbolic link, if one is left
            std::filesystem::remove_all(moved, ignored);
            std::filesystem::remove_all(fallback, ignored);
        }
        if (savedRuntime)
            setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
    }

    std::optional<std::string> savedRuntime;
    bool planted = false;
    std::string fallback = wire::FallbackSocketFolder();
    std::string moved = fallback + "-moved-" + std::to_string(::getpid());
    TestFolder folder;
    RemoteSimServerProcess server{wire::FallbackSocketPath(), folder.File("image"),
                                  folder.File("log")};
};

// One test, not several: the cases share the one fixed folder name, and ctest runs the tests of
// a program side by side.
TEST_F(ZorvikFallbackFolderTest, TheClientConnectsOnlyWhenTheFolderIsThisUsersAlone) {
    ASSERT_TRUE(server.Start()) << server.Log();

    ASSERT_EQ(::chmod(fallback.c_str(), 0755), 0);
    EXPECT_FALSE(link_state()) << "a folder others can read";
    ASSERT_EQ(::chmod(fallback.c_str(), 0703), 0);
    EXPECT_FALSE(link_state()) << "a folder others can write";
    ASSERT_EQ(::chmod(fallback.c_str(), 0700), 0);

    // The same folder, with the server's socket in it, behind a symbolic link of that name.
    ASSERT_EQ(::rename(fallback.c_str(), moved.c_str()), 0);
    ASSERT_EQ(::symlink(moved.c_str(), fallback.c_str()), 0);
    EXPECT_FALSE(link_state()) << "a symbolic link to a private folder";
    ASSERT_EQ(::unlink(fallback.c_str()), 0);
    ASSERT_EQ(::rename(moved.c_str(), fallback.c_str()), 0);

    if (::getuid() == 0) {
        // Only root can give a folder away; another user's folder is never trusted.
        ASSERT_EQ(::chown(fallback.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(link_state()) << "a folder of another user";
        ASSERT_EQ(::chown(fallback.c_str(), ::getuid(), ::getgid()), 0);
    }

    EXPECT_TRUE(link_state()) << "the same folder, private again, with the same server in it";
}

}  // namespace

namespace {

// A server of another user on a socket this user can reach: the client must not speak to it.
// Only root can be another user, so elsewhere the test has nothing to run.
TEST(ZorvikPeerTest, AServerOfAnotherUserIsRefusedBeforeAnythingIsSent) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to serve as another user";
    TestFolder folder;
    const std::string path = folder.File("s");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // The credentials a client sees are those of the process that called listen().
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool other = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const char result = other && ::listen(listener, 4) == 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t written = ::write(ready[1], &result, 1);
        ::pause();
        ::_exit(0);
    }
    char result = 0;
    ASSERT_EQ(::read(ready[0], &result, 1), 1);
    ASSERT_EQ(result, 1) << "the child could not become another user";

    errno = 0;
    const int fd = wire::ConnectLocalSocket(path, wire::Clock::now() + std::chrono::seconds(5));
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, EACCES);
    ASSERT_EQ(::setenv("KEYLEARN_REMOTE_SOCKET", path.c_str(), 1), 0);
    EXPECT_FALSE(link_state());
    ::unsetenv("KEYLEARN_REMOTE_SOCKET");

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(listener);
    ::close(ready[0]);
    ::close(ready[1]);
}

}  // namespace
