// Which LIRC device remotectl send chooses when it is given none: the one that can send, the
// others named with the reason they cannot.
#include "lirc/transmitter_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <map>

namespace lirc {
namespace {

constexpr std::uint32_t kTransceiver = LIRC_CAN_SEND_PULSE | LIRC_CAN_REC_MODE2;
constexpr std::uint32_t kReceiverOnly = LIRC_CAN_REC_MODE2;

class TransmitterSearchTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    std::string Folder() const { return folder_.path().toStdString(); }

    // Entries of the folder, each a device as the stand-in probe reports it.
    void Devices(const std::map<std::string, DeviceProbe>& devices) {
        probes_.clear();
        for (const auto& [name, probe] : devices) {
            const std::string path = Folder() + "/" + name;
            ::close(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
            probes_[path] = probe;
        }
    }

    TransmitterSearch Search() {
        return FindTransmitter(Folder(), [this](const std::string& path) {
            looked_.push_back(path.substr(Folder().size() + 1));
            return probes_.at(path);
        });
    }

    QTemporaryDir folder_;
    std::map<std::string, DeviceProbe> probes_;
    std::vector<std::string> looked_;
};

TEST_F(TransmitterSearchTest, TheOneDeviceThatCanSendIsChosenAndNoOtherGuessed) {
    const DeviceProbe sends{{}, kTransceiver};
    const DeviceProbe receives{{DeviceRefusal::kCannotSend, 0, {}}, kReceiverOnly};
    const DeviceProbe denied{{DeviceRefusal::kPermissionDenied, EACCES, "video"}, 0};
    struct Case {
        const char* name;
        std::map<std::string, DeviceProbe> devices;
        TransmitterSearchOutcome outcome;
        std::vector<std::string> chosen;  // the path found, or the candidates
        std::vector<std::string> lookedAt;
    };
    const std::vector<Case> cases = {
        {"none at all", {}, TransmitterSearchOutcome::kNone, {}, {}},
        {"only names like it",
         {{"lirc", sends}, {"lircd", sends}, {"lirc-1", sends}},
         TransmitterSearchOutcome::kNone,
         {},
         {}},
        {"a receiver and a transmitter",
         {{"lirc0", receives}, {"lirc1", sends}},
         TransmitterSearchOutcome::kFound,
         {"lirc1"},
         {"lirc0"}},
        {"a receiver and one not ours",
         {{"lirc0", receives}, {"lirc1", denied}},
         TransmitterSearchOutcome::kNone,
         {},
         {"lirc0", "lirc1"}},
        {"two that send, in the order of their numbers",
         {{"lirc10", sends}, {"lirc2", sends}},
         TransmitterSearchOutcome::kSeveral,
         {"lirc2", "lirc10"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir fresh;
        folder_.swap(fresh);
        Devices(c.devices);
        const TransmitterSearch search = Search();
        EXPECT_EQ(search.outcome, c.outcome);
        std::vector<std::string> chosen;
        for (const std::string& path : search.outcome == TransmitterSearchOutcome::kFound
                                           ? std::vector{search.path}
                                           : search.candidates)
            chosen.push_back(path.substr(Folder().size() + 1));
        EXPECT_EQ(chosen, c.chosen);
        std::vector<std::string> lookedAt;
        for (const LookedAt& device : search.lookedAt)
            lookedAt.push_back(device.path.substr(Folder().size() + 1));
        EXPECT_EQ(lookedAt, c.lookedAt);
    }
}

TEST_F(TransmitterSearchTest, ALookAtAPathThatIsNoTransmitterTellsWhyAndWaitsForNothing) {
    const std::string fifo = Folder() + "/lirc0";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        DeviceRefusal reason;
    };
    const std::vector<Case> cases = {
        {"/dev/null", DeviceRefusal::kNotLircDevice},
        {fifo, DeviceRefusal::kNotLircDevice},  // no reader waited for
        {Folder() + "/lirc9", DeviceRefusal::kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ProbeDevice(c.path).refusal.reason, c.reason);
    }
}

}  // namespace
}  // namespace lirc
