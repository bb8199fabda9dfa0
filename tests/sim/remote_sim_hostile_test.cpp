// remote-sim against careless and hostile use: inputs that are no files or never end, clients
// that connect and say nothing, a server out of descriptors or disk, two servers of one
// image, a read-only image, and what interrupted saves leave behind.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "libzorvik/wire.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_file.h"
#include "tests/support/remote_sim_process.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class RemoteSimHostileTest : public ::testing::Test {
  protected:
    CommandResult Run(const std::vector<std::string>& args) {
        return RunRemoteSim(args, socketPath);
    }
    // Connections that the test holds open, closed at the end.
    int Connect() {
        const int fd =
            wire::ConnectLocalSocket(socketPath, wire::Clock::now() + std::chrono::seconds(30));
        if (fd >= 0)
            held.push_back(fd);
        return fd;
    }
    void TearDown() override {
        for (int fd : held)
            ::close(fd);
    }

    TestFolder folder;
    std::string socketPath = folder.File("s");
    std::string imagePath = folder.File("image");
    RemoteSimServerProcess server{socketPath, imagePath, folder.File("log")};
    std::vector<int> held;
};

TEST_F(RemoteSimHostileTest, InputsThatAreNoFilesOrTooLargeAreRefusedWithTheirCause) {
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = folder.File("huge");
    std::ofstream(huge) << std::string(2 * 1024 * 1024, 'A');
    const std::string overLimit = folder.File("long");
    std::ofstream(overLimit) << std::string(10241, 'A');
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string cause;
    };
    // None needs a server: each is refused before anything is sent. A FIFO without a writer
    // and /dev/zero used to hang or run out of memory; a folder aborted.
    const std::vector<Case> cases = {
        {{"capture", folder.Path()}, 1, "is a folder"},
        {{"capture", "/dev/zero"}, 1, "not a regular file"},
        {{"capture", fifo}, 1, "not a regular file"},
        {{"capture", huge}, 1, "holds more than"},
        {{"capture", overLimit}, 1, "holds at most 10240"},
        {{"serve", "--image", fifo}, 1, "not a regular file"},
        {{"send", "NEC1", "--carrier", ""}, 2, "--carrier"},
        {{"send", "NEC1", "--carrier", "38k"}, 2, "--carrier"},
        {{"send", "NEC1", "--excess", ""}, 2, "--excess"},
        {{"send", "NEC1", "--repeats", "101"}, 2, "--repeats"},
        {{"send", "NEC1", "D=400"}, 2, "NEC1 takes D from 0 to 255"},
        {{"send", "NEC1"}, 2, "NEC1 needs D=... F=...; missing: D, F"},
        {{"send", "NEC1", "D=1", "F=2", "F=3"}, 2, "F is given twice"},
    };
    for (const Case& c : cases) {
        const CommandResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0] << ' ' << c.args.back();
        EXPECT_TRUE(Contains(result.err, c.cause)) << result.err;
    }
}

TEST_F(RemoteSimHostileTest, IdleAndHalfSentClientsHoldUpNoOne) {
    ASSERT_TRUE(server.Start({"--client-timeout", "1"})) << server.Log();
    // More connections than the server keeps, some stopped half-way through a request.
    for (int i = 0; i < 300; ++i) {
        const int fd = Connect();
        ASSERT_GE(fd, 0) << i;
        if (i % 10 == 0) {
            ASSERT_EQ(::send(fd, "\x08\x00", 2, MSG_NOSIGNAL), 2);
        }
    }
    const CommandResult status = Run({"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;

    // And the server itself lets go of a silent client after its time-out.
    const int silent = Connect();
    ASSERT_EQ(::send(silent, "\x08\x00", 2, MSG_NOSIGNAL), 2);
    pollfd p{silent, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 60'000), 1) << "never closed";
    char byte;
    EXPECT_EQ(::recv(silent, &byte, 1, 0), 0);
}

TEST_F(RemoteSimHostileTest, AServerOutOfDescriptorsGoesOnServing) {
    ASSERT_TRUE(server.Start()) << server.Log();
    rlimit own{};
    ASSERT_EQ(::prlimit(server.Pid(), RLIMIT_NOFILE, nullptr, &own), 0);
    const rlimit few{24, own.rlim_max};
    ASSERT_EQ(::prlimit(server.Pid(), RLIMIT_NOFILE, &few, nullptr), 0);
    // Every descriptor the server may open is taken; accept fails with EMFILE from here on.
    for (int i = 0; i < 40; ++i)
        ASSERT_GE(Connect(), 0) << i;
    const CommandResult status = Run({"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    // The server let idle clients go to make room; it serves on, instead of spinning on a
    // listening socket whose accept keeps failing.
    for (int i = 0; i < 40; ++i)
        ASSERT_GE(Connect(), 0) << i;
    EXPECT_EQ(Run({"status"}).exitCode, 0);
}

TEST_F(RemoteSimHostileTest, ASecondServerOfTheSameImageIsRefusedNamingTheFirst) {
    ASSERT_TRUE(server.Start()) << server.Log();
    const CommandResult second =
        RunRemoteSim({"serve", "--image", imagePath}, folder.File("other-socket"));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(Contains(second.err, "is already served by")) << second.err;
    EXPECT_TRUE(Contains(second.err, "process " + std::to_string(server.Pid()))) << second.err;
    EXPECT_TRUE(Contains(second.err, socketPath)) << second.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("other-socket")));
    EXPECT_EQ(Run({"write", "9000", "AB"}).exitCode, 0) << "the first serves on";
}

TEST_F(RemoteSimHostileTest, AReadOnlyImageIsServedAndNeverReplaced) {
    const Result<Done> saved = SaveRemoteImage(DefaultRemoteImage(), imagePath);
    ASSERT_TRUE(saved) << saved.Problem();
    ASSERT_EQ(::chmod(imagePath.c_str(), 0444), 0);
    const std::string before = ReadAll(imagePath);
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_TRUE(Contains(server.Log(), "read-only")) << server.Log();

    for (const std::vector<std::string>& change :
         {std::vector<std::string>{"write", "9000", "AB"}, {"reset"}, {"swap"}}) {
        const CommandResult refused = Run(change);
        EXPECT_EQ(refused.exitCode, 1) << change[0];
        EXPECT_TRUE(Contains(refused.err, "read-only")) << refused.err;
    }
    const CommandResult dump = Run({"dump", "9000", "1"});
    EXPECT_EQ(dump.out, "9000  00\n") << "a refused write leaves memory as it was";
    struct stat info {};
    ASSERT_EQ(::stat(imagePath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_EQ(ReadAll(imagePath), before);
}

TEST_F(RemoteSimHostileTest, TemporaryFilesOfInterruptedSavesAreRemovedAtStart) {
    const Result<Done> saved = SaveRemoteImage(DefaultRemoteImage(), imagePath);
    ASSERT_TRUE(saved) << saved.Problem();
    const std::string torn = folder.File("image.saving-Ab12Cd");
    const std::string tornOld = folder.File("image.Xy12Zq");
    const std::string usersCopy = folder.File("image.backup");
    const std::string unrelated = folder.File("other.Xy12Zq");
    std::ofstream(torn) << "KLREMOTE";
    std::ofstream(tornOld) << "KLREMO";
    std::filesystem::copy_file(imagePath, usersCopy);
    std::ofstream(unrelated) << "KLREMO";
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_TRUE(Contains(server.Log(), "removed 2 temporary")) << server.Log();
    EXPECT_FALSE(std::filesystem::exists(torn));
    EXPECT_FALSE(std::filesystem::exists(tornOld));
    EXPECT_TRUE(std::filesystem::exists(usersCopy)) << "a whole image may be the user's copy";
    EXPECT_TRUE(std::filesystem::exists(unrelated));
}

TEST_F(RemoteSimHostileTest, ARefusedWriteNamesItsCause) {
    ASSERT_TRUE(server.Start()) << server.Log();
    // A file-size limit stands in for a full disk: the save fails with the system's reason.
    rlimit own{};
    ASSERT_EQ(::prlimit(server.Pid(), RLIMIT_FSIZE, nullptr, &own), 0);
    const rlimit small{4096, own.rlim_max};
    ASSERT_EQ(::prlimit(server.Pid(), RLIMIT_FSIZE, &small, nullptr), 0);
    const CommandResult unsaved = Run({"write", "9000", "AB"});
    EXPECT_EQ(unsaved.exitCode, 1);
    EXPECT_TRUE(Contains(unsaved.err, "could not be saved")) << unsaved.err;
    EXPECT_TRUE(Contains(unsaved.err, "File too large")) << unsaved.err;
    EXPECT_FALSE(Contains(unsaved.err, "unplugged")) << unsaved.err;
    EXPECT_EQ(Run({"dump", "9000", "1"}).out, "9000  00\n") << "an unsaved write is undone";

    ASSERT_EQ(::prlimit(server.Pid(), RLIMIT_FSIZE, &own, nullptr), 0);
    const CommandResult noBank = Run({"write", "--bank", "09", "0", "00"});
    EXPECT_TRUE(Contains(noBank.err, "no bank 09")) << noBank.err;
    EXPECT_EQ(Run({"unplug"}).exitCode, 0);
    const CommandResult unplugged = Run({"write", "9000", "AB"});
    EXPECT_EQ(unplugged.exitCode, 1);
    EXPECT_TRUE(Contains(unplugged.err, "unplugged")) << unplugged.err;
}

}  // namespace
