#include "sim/remote_image_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/remote_sim_process.h"

namespace {

RemoteImage SampleImage() {
    RemoteImage image = DefaultRemoteImage();
    auto& bank = image.Bank(0x01);
    for (std::size_t i = 0; i < bank.size(); ++i)
        bank[i] = static_cast<std::uint8_t>(i * 7);
    image.version = "1020 sample";
    image.identityOverride = "0123456789ABCDEF0123456789ABCD";
    return image;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool SameImage(const RemoteImage& a, const RemoteImage& b) {
    return a.banks == b.banks && a.version == b.version && a.identityOverride == b.identityOverride;
}

class RemoteImageFileTest : public ::testing::Test {
  protected:
    TestFolder folder;
    std::string path = folder.File("image");
    std::string error;
};

TEST_F(RemoteImageFileTest, SavedImageLoadsBackAndNoTemporaryFileStays) {
    const RemoteImage image = SampleImage();
    ASSERT_TRUE(SaveRemoteImage(image, path, error)) << error;
    ASSERT_TRUE(SaveRemoteImage(image, path, error)) << error;  // over an existing file
    RemoteImage loaded;
    ASSERT_TRUE(LoadRemoteImage(path, loaded, error)) << error;
    EXPECT_TRUE(SameImage(loaded, image));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A file cut short anywhere, or with any byte changed, is refused with a reason, and the image
// it was to be loaded into stays as it was.
TEST_F(RemoteImageFileTest, TruncatedOrCorruptFilesAreRefused) {
    ASSERT_TRUE(SaveRemoteImage(SampleImage(), path, error)) << error;
    const std::string good = ReadAll(path);
    std::vector<std::string> damaged;
    for (std::size_t length : {std::size_t{0}, std::size_t{5}, std::size_t{8}, std::size_t{15},
                               std::size_t{40}, std::size_t{70000}, good.size() - 1})
        damaged.push_back(good.substr(0, length));
    for (std::size_t at : {std::size_t{0}, std::size_t{9}, std::size_t{13}, std::size_t{30},
                           std::size_t{5000}, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        damaged.push_back(flipped);
    }
    damaged.push_back(good + "x");
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        WriteAll(path, damaged[i]);
        RemoteImage image;
        image.version = "untouched";
        error.clear();
        EXPECT_FALSE(LoadRemoteImage(path, image, error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        EXPECT_EQ(image.version, "untouched") << "case " << i;
        EXPECT_TRUE(image.banks.empty()) << "case " << i;
    }
}

TEST_F(RemoteImageFileTest, MissingFilesAndFoldersGiveReasons) {
    RemoteImage image;
    EXPECT_FALSE(LoadRemoteImage(folder.File("none"), image, error));
    EXPECT_NE(error.find("none"), std::string::npos) << error;
    EXPECT_FALSE(LoadRemoteImage(folder.Path(), image, error)) << "a folder is not an image";
    EXPECT_FALSE(SaveRemoteImage(SampleImage(), folder.File("no/such/folder"), error));
    EXPECT_FALSE(error.empty());
}

TEST_F(RemoteImageFileTest, AnImageTheFileCannotHoldIsNotSaved) {
    RemoteImage image = SampleImage();
    image.Bank(0x100);
    EXPECT_FALSE(SaveRemoteImage(image, path, error));
    EXPECT_FALSE(std::filesystem::exists(path));
}

// What remote-sim does: save after each write, start again from the file.
TEST_F(RemoteImageFileTest, WritesSavedByTheObserverSurviveARestart) {
    {
        SimulatedRemote remote(DefaultRemoteImage());
        remote.SetWriteObserver(
            [&](const RemoteImage& image) { return SaveRemoteImage(image, path, error); });
        ASSERT_TRUE(remote.writedatav20("08", "90", "10", "C0FFEE"));
    }
    RemoteImage image;
    ASSERT_TRUE(LoadRemoteImage(path, image, error)) << error;
    SimulatedRemote restarted(image);
    EXPECT_EQ(restarted.MemoryHex(0x08, 0x9010, 3), "C0FFEE");
}

}  // namespace
