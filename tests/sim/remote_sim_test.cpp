// remote-sim's command line, as scripts and people use it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/remote_image_builder.h"
#include "sim/remote_image_file.h"
#include "tests/support/remote_sim_process.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class RemoteSimTest : public ::testing::Test {
  protected:
    CommandResult Run(const std::vector<std::string>& args, const std::string& input = {}) {
        return RunRemoteSim(args, socketPath, input);
    }
    // The output of a command that must succeed.
    std::string Output(const std::vector<std::string>& args, const std::string& input = {}) {
        const CommandResult result = Run(args, input);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    TestFolder folder;
    std::string socketPath = folder.File("s");
    std::string imagePath = folder.File("image");
    RemoteSimServerProcess server{socketPath, imagePath, folder.File("log")};
};

TEST_F(RemoteSimTest, StatusTellsWhetherARemoteSimServes) {
    const CommandResult absent = Run({"status"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_NE(absent.err.find(socketPath), std::string::npos) << absent.err;

    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_NE(server.Log().find("created"), std::string::npos) << "first start makes the image";
    const std::string status = Output({"status"});
    for (const std::string& line :
         {std::string("remote: plugged in"), std::string("model: 7731, interface 1.3"),
          "identity: " + default_remote::kIdentityText, "version: " + default_remote::kVersion,
          "image: " + imagePath})
        EXPECT_NE(status.find(line + "\n"), std::string::npos) << line << " in\n" << status;
}

TEST_F(RemoteSimTest, ASecondServerIsRefusedAndAStaleSocketIsReplaced) {
    // A socket file left behind by a server that died.
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    ASSERT_TRUE(server.Start()) << server.Log();
    const CommandResult second = Run({"serve", "--image", folder.File("other")});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("already serving"), std::string::npos) << second.err;
    EXPECT_EQ(Run({"status"}).exitCode, 0) << "the first server is untouched";

    EXPECT_EQ(server.Stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(socketPath)) << "a stopped server removes its socket";
}

TEST_F(RemoteSimTest, ServeLeavesFilesAloneThatItCannotUse) {
    std::ofstream(socketPath) << "not a socket";
    const CommandResult blocked = Run({"serve", "--image", imagePath});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.err.find("not a socket"), std::string::npos) << blocked.err;
    EXPECT_EQ(ReadAll(socketPath), "not a socket");
    std::filesystem::remove(socketPath);

    std::ofstream(imagePath) << "KLREMOTE and then rubbish";
    const CommandResult corrupt = Run({"serve", "--image", imagePath});
    EXPECT_EQ(corrupt.exitCode, 1);
    EXPECT_NE(corrupt.err.find("cannot load the image"), std::string::npos) << corrupt.err;
    EXPECT_EQ(ReadAll(imagePath), "KLREMOTE and then rubbish");
}

TEST_F(RemoteSimTest, DumpShowsSixteenBytesALineWithTheAddress) {
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_EQ(Output({"dump", "B000", "32"}),
              "B000  59 48 5A 4C 37 37 33 31  00 01 02 03 04 05 06 00\n"
              "B010  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00\n");
    EXPECT_EQ(Output({"dump", "--bank", "08", "0xFFFE", "2"}), "FFFE  00 00\n");
    const std::string whole = Output({"dump"});
    EXPECT_EQ(whole.rfind("0000-7FFF  all zero\n", 0), 0u) << whole.substr(0, 200);
    EXPECT_NE(whole.find("B000  59 48 5A 4C"), std::string::npos);

    const CommandResult past = Run({"dump", "FFF0", "32"});
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_NE(past.err.find("runs past FFFF"), std::string::npos) << past.err;
    const CommandResult noBank = Run({"dump", "--bank", "09"});
    EXPECT_EQ(noBank.exitCode, 1);
    EXPECT_NE(noBank.err.find("no bank 09"), std::string::npos) << noBank.err;
    EXPECT_EQ(Run({"dump", "XYZ"}).exitCode, 2);
}

TEST_F(RemoteSimTest, SwapAnswersAsAnotherRemoteAndTheChoiceOutlivesARestart) {
    ASSERT_TRUE(server.Start()) << server.Log();
    const std::string other = Output({"swap"});
    EXPECT_EQ(other.find(default_remote::kIdentityText), std::string::npos) << other;
    EXPECT_NE(other.find("another remote"), std::string::npos) << other;
    EXPECT_NE(Output({"swap"}).find(default_remote::kIdentityText), std::string::npos)
        << "swap again gives the own identity back";

    EXPECT_NE(Output({"swap", "0123456789abcdef0123456789ABCD"})
                  .find("identity: 0123456789ABCDEF0123456789ABCD"),
              std::string::npos);
    EXPECT_EQ(Run({"swap", "0123"}).exitCode, 1);
    server.Stop(SIGKILL);
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_NE(Output({"status"}).find("identity: 0123456789ABCDEF0123456789ABCD"),
              std::string::npos);
    EXPECT_NE(Output({"swap", "restore"}).find(default_remote::kIdentityText), std::string::npos);
}

TEST_F(RemoteSimTest, CaptureTakesAFileOrStandardInputAndIsHeardOnlyInCaptureMode) {
    ASSERT_TRUE(server.Start()) << server.Log();
    const std::string file = folder.File("capture.txt");
    std::ofstream(file) << "80230045\r\n";
    // No program waits for a code: the remote's receiver is off, and nothing is kept for the
    // next capture (zorvik_client_test fires one in capture mode).
    for (const std::vector<std::string>& fired :
         {std::vector<std::string>{"capture", file}, {"send", "NEC1", "D=4", "F=8"}}) {
        const CommandResult unheard = Run(fired);
        EXPECT_EQ(unheard.exitCode, 1) << fired[0];
        EXPECT_NE(unheard.err.find("not in capture mode"), std::string::npos) << unheard.err;
        EXPECT_NE(unheard.err.find("nothing was captured"), std::string::npos) << unheard.err;
    }
    EXPECT_NE(Output({"status"}).find("capture mode: off, no capture waiting"), std::string::npos);
    EXPECT_EQ(Run({"capture", folder.File("missing")}).exitCode, 1);
    EXPECT_EQ(Run({"capture", "-"}, std::string(10241, 'A')).exitCode, 1);
    EXPECT_EQ(Run({"capture", "-"}, "\n").exitCode, 1);
    Output({"unplug"});
    const CommandResult unplugged = Run({"capture", "-"}, "8001");
    EXPECT_EQ(unplugged.exitCode, 1);
    EXPECT_NE(unplugged.err.find("unplugged"), std::string::npos) << unplugged.err;
}

TEST_F(RemoteSimTest, ResetBringsBackTheDefaultRemote) {
    {
        RemoteImage changed = DefaultRemoteImage();
        changed.Bank(0x08)[0x9000] = 0xAB;
        changed.version = "1020 changed";
        const Result<Done> saved = SaveRemoteImage(changed, imagePath);
        ASSERT_TRUE(saved) << saved.Problem();
    }
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_EQ(Output({"dump", "9000", "1"}), "9000  AB\n");
    Output({"unplug"});
    Output({"reset"});
    EXPECT_EQ(Output({"dump", "9000", "1"}), "9000  00\n");
    const std::string status = Output({"status"});
    EXPECT_NE(status.find("remote: plugged in"), std::string::npos) << status;
    EXPECT_NE(status.find("version: " + default_remote::kVersion), std::string::npos) << status;

    const Result<RemoteImage> saved = LoadRemoteImage(imagePath);
    ASSERT_TRUE(saved) << saved.Problem();
    EXPECT_EQ(saved->banks, DefaultRemoteImage().banks) << "the reset is saved";
}

TEST_F(RemoteSimTest, WriteChangesTheRemotesMemoryAndTheImage) {
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_EQ(Output({"write", "b023", "8888"}), "written: 2 bytes at B023 of bank 08\n");
    EXPECT_NE(Output({"status"}).find("model: 8888, interface 1.3\n"), std::string::npos);
    Result<RemoteImage> saved = LoadRemoteImage(imagePath);
    ASSERT_TRUE(saved) << saved.Problem();
    EXPECT_EQ(saved->Bank(0x08)[0xB023], 0x88) << "the write is saved";

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"write", "B023"},
                                                {"write", "B023", "888"},
                                                {"write", "B023", "88G8"},
                                                {"write", "12345", "00"},
                                                {"write", "--bank", "8", "0", "00"}})
        EXPECT_EQ(Run(bad).exitCode, 2) << bad.back();
    EXPECT_EQ(Run({"write", "FFFF", "0000"}).exitCode, 1) << "past FFFF is refused";
    Output({"unplug"});
    EXPECT_EQ(Run({"write", "9000", "00"}).exitCode, 1) << "an unplugged remote takes no write";
}

TEST_F(RemoteSimTest, CheckStatesWhetherTheMemoryKeepsItsInvariants) {
    EXPECT_EQ(Run({"check"}).exitCode, 1) << "no remote-sim serves";
    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_EQ(Output({"check"}), "consistent\n");

    // Key 35 (key entry at 8100 + 22 x 33 = 83D6) lets go of entry 3 without freeing it: a warning.
    EXPECT_EQ(Output({"write", "83D6", "00"}), "written: 1 bytes at 83D6 of bank 08\n");
    EXPECT_EQ(Output({"check"}),
              "warning: entry 3 is in use but no key points at it\nconsistent\n");

    // Entry 3 (its word at 8600 + 31 + 6 x 3 + 3) freed behind the key's back, its units still
    // marked: one line per finding.
    Output({"write", "83D6", "80"});
    Output({"write", "8634", "0000"});
    const CommandResult broken = Run({"check"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.out,
              "unit 8 marked used but no entry holds it\n"
              "unit 9 marked used but no entry holds it\n"
              "unit 10 marked used but no entry holds it\n"
              "unit 11 marked used but no entry holds it\n"
              "unit 12 marked used but no entry holds it\n"
              "key entry 33 points at entry 3, which is free\n");
}

TEST_F(RemoteSimTest, UnknownCommandsAndArgumentsAreUsageErrors) {
    EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Run({"plug", "now"}).exitCode, 2);
    EXPECT_EQ(Run({"serve", "--imag", "x"}).exitCode, 2);
    EXPECT_EQ(Run({}).exitCode, 2);
    EXPECT_EQ(Run({"help"}).exitCode, 0);
}

}  // namespace
