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
};

TEST_F(RemoteImageFileTest, SavedImageLoadsBackAndNoTemporaryFileStays) {
    const RemoteImage image = SampleImage();
    const Result<Done> saved = SaveRemoteImage(image, path);
    ASSERT_TRUE(saved) << saved.Problem();
    const Result<Done> savedAgain = SaveRemoteImage(image, path);  // over an existing file
    ASSERT_TRUE(savedAgain) << savedAgain.Problem();
    const Result<RemoteImage> loaded = LoadRemoteImage(path);
    ASSERT_TRUE(loaded) << loaded.Problem();
    EXPECT_TRUE(SameImage(*loaded, image));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A file cut short anywhere, or with any byte changed, is refused with a reason.
TEST_F(RemoteImageFileTest, TruncatedOrCorruptFilesAreRefused) {
    const Result<Done> saved = SaveRemoteImage(SampleImage(), path);
    ASSERT_TRUE(saved) << saved.Problem();
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
        const Result<RemoteImage> loaded = LoadRemoteImage(path);
        EXPECT_FALSE(loaded) << "case " << i;
        EXPECT_FALSE(loaded.Problem().empty()) << "case " << i;
    }
}

TEST_F(RemoteImageFileTest, MissingFilesAndFoldersGiveReasons) {
    const Result<RemoteImage> missing = LoadRemoteImage(folder.File("none"));
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.Problem().find("none"), std::string::npos) << missing.Problem();
    EXPECT_FALSE(LoadRemoteImage(folder.Path())) << "a folder is not an image";
    const Result<Done> saved = SaveRemoteImage(SampleImage(), folder.File("no/such/folder"));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.Problem().empty());
}

TEST_F(RemoteImageFileTest, AnImageTheFileCannotHoldIsNotSaved) {
    RemoteImage image = SampleImage();
    image.Bank(0x100);
    EXPECT_FALSE(SaveRemoteImage(image, path));
    EXPECT_FALSE(std::filesystem::exists(path));
}

// What remote-sim does: save after each write, start again from the file.
TEST_F(RemoteImageFileTest, WritesSavedByTheObserverSurviveARestart) {
    {
        SimulatedRemote remote(DefaultRemoteImage());
        remote.SetWriteObserver(
            [&](const RemoteImage& image) { return SaveRemoteImage(image, path).HasValue(); });
        ASSERT_TRUE(remote.writedatav20("08", "90", "10", "C0FFEE"));
    }
    const Result<RemoteImage> image = LoadRemoteImage(path);
    ASSERT_TRUE(image) << image.Problem();
    SimulatedRemote restarted(*image);
    EXPECT_EQ(restarted.MemoryHex(0x08, 0x9010, 3), "C0FFEE");
}

}  // namespace
