#include "sim/remote_image_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// A temporary file is the image's name, this mark and mkstemp's six letters or digits;
// RemoveInterruptedSaves knows them by it. Earlier saves used a bare dot, which a user's own
// "image.backup" could match too.
constexpr char kTemporaryMark[] = ".saving-";
constexpr char kOldTemporaryMark[] = ".";
constexpr char kMagic[8] = {'K', 'L', 'R', 'E', 'M', 'O', 'T', 'E'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::size_t kMaxVersionText = 249;
constexpr std::size_t kMaxIdentityText = 1023;
constexpr std::size_t kMaxBanks = 256;
// Larger than any valid image, so a wrong file is refused before it is read whole.
constexpr off_t kMaxFileSize = 8 + 4 + 4 + kMaxVersionText + 4 + kMaxIdentityText + 4 +
                               kMaxBanks * (4 + RemoteImage::kBankSize) + 4;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// Reads fields from the file's bytes; every read is checked against the end.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool U32(std::uint32_t& value) {
        if (size_ - pos_ < 4)
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(data_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool Bytes(std::size_t count, const std::uint8_t*& at) {
        if (size_ - pos_ < count)
            return false;
        at = data_ + pos_;
        pos_ += count;
        return true;
    }
    bool Text(std::size_t maxSize, std::string& text) {
        std::uint32_t size = 0;
        const std::uint8_t* at = nullptr;
        if (!U32(size) || size > maxSize || !Bytes(size, at))
            return false;
        text.assign(reinterpret_cast<const char*>(at), size);
        return true;
    }
    bool AtEnd() const { return pos_ == size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::vector<std::uint8_t> Serialise(const RemoteImage& image) {
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    PutU32(out, kFormatVersion);
    PutText(out, image.version);
    PutText(out, image.identityOverride);
    PutU32(out, static_cast<std::uint32_t>(image.banks.size()));
    for (const auto& [number, bank] : image.banks) {
        PutU32(out, static_cast<std::uint32_t>(number));
        std::vector<std::uint8_t> memory = bank;
        memory.resize(RemoteImage::kBankSize, 0);
        out.insert(out.end(), memory.begin(), memory.end());
    }
    PutU32(out, Crc32(out.data(), out.size()));
    return out;
}

Result<RemoteImage> Parse(const std::vector<std::uint8_t>& file) {
    if (file.size() < sizeof kMagic || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0)
        return Failure("not a remote image file");
    if (file.size() < sizeof kMagic + 8)
        return Failure("the file is truncated");
    const std::size_t body = file.size() - 4;
    Reader crcReader(file.data() + body, 4);
    std::uint32_t storedCrc = 0;
    crcReader.U32(storedCrc);
    if (storedCrc != Crc32(file.data(), body))
        return Failure("the file is truncated or corrupt (checksum mismatch)");
    Reader reader(file.data() + sizeof kMagic, body - sizeof kMagic);
    std::uint32_t format = 0;
    reader.U32(format);
    if (format != kFormatVersion)
        return Failure("unsupported image format " + std::to_string(format));
    RemoteImage loaded;
    std::uint32_t bankCount = 0;
    if (!reader.Text(kMaxVersionText, loaded.version) ||
        !reader.Text(kMaxIdentityText, loaded.identityOverride) || !reader.U32(bankCount) ||
        bankCount > kMaxBanks)
        return Failure("the file's header is damaged");
    for (std::uint32_t i = 0; i < bankCount; ++i) {
        std::uint32_t number = 0;
        const std::uint8_t* memory = nullptr;
        if (!reader.U32(number) || number > 0xFF || loaded.banks.count(static_cast<int>(number)) ||
            !reader.Bytes(RemoteImage::kBankSize, memory))
            return Failure("bank " + std::to_string(i) + " of the file is damaged");
        loaded.banks[static_cast<int>(number)].assign(memory, memory + RemoteImage::kBankSize);
    }
    if (!reader.AtEnd())
        return Failure("the file has unexpected data after its last bank");
    return loaded;
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Result<RemoteImage> LoadRemoteImage(const std::string& path) {
    // Non-blocking: opening a FIFO for reading would wait for a writer; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Failure(SystemError("cannot open", path));
    struct stat info {};
    std::vector<std::uint8_t> file;
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && (!S_ISREG(info.st_mode) || info.st_size > kMaxFileSize)) {
        ::close(fd);
        return Failure(path + (S_ISREG(info.st_mode) ? " is too large for a remote image file"
                                                     : " is not a regular file"));
    }
    if (ok) {
        file.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (ok && done < file.size()) {
            const ssize_t n = ::read(fd, file.data() + done, file.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += ok ? static_cast<std::size_t>(n) : 0;
        }
    }
    if (!ok) {
        std::string problem = SystemError("cannot read", path);
        ::close(fd);
        return Failure(std::move(problem));
    }
    ::close(fd);
    Result<RemoteImage> image = Parse(file);
    if (!image)
        return Failure(path + ": " + image.Problem());
    return image;
}

Result<Done> SaveRemoteImage(const RemoteImage& image, const std::string& path) {
    if (image.version.size() > kMaxVersionText ||
        image.identityOverride.size() > kMaxIdentityText || image.banks.size() > kMaxBanks ||
        (!image.banks.empty() &&
         (image.banks.begin()->first < 0 || image.banks.rbegin()->first > 0xFF)))
        return Failure(
            "the image cannot be saved: a text is too long or a bank number is out of range");
    std::string temp = path + kTemporaryMark + "XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return Failure(SystemError("cannot create a temporary file beside", path));
    // The new file keeps the permissions the user gave the old one (mkstemp makes it 0600).
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    const bool written = WriteAll(fd, Serialise(image)) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        std::string problem;
        if (written)
            problem = SystemError("cannot replace", path);
        else {
            errno = savedErrno;
            problem = SystemError("cannot write", temp);
        }
        ::unlink(temp.c_str());
        return Failure(std::move(problem));
    }
    // The rename itself must reach the disk too.
    const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Done{};
}

namespace {

// Whether name is prefix followed by mkstemp's six letters or digits.
bool TemporaryName(const std::string& name, const std::string& prefix) {
    constexpr std::size_t kRandomPart = 6;
    return name.size() == prefix.size() + kRandomPart &&
           name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A file of the old pattern is taken for a torn save only when it is no whole image: one that
// loads may be a copy the user keeps.
bool TornSave(const std::string& file) {
    return !LoadRemoteImage(file).HasValue();
}

}  // namespace

int RemoveInterruptedSaves(const std::string& path) {
    const std::string folder = DirectoryOf(path);
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string prefix = base + kTemporaryMark;
    const std::string oldPrefix = base + kOldTemporaryMark;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const bool current = TemporaryName(name, prefix);
        if (!current && !TemporaryName(name, oldPrefix))
            continue;
        struct stat info {};
        const std::string file = folder + "/" + name;
        if (::lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::getuid() || (!current && !TornSave(file)))
            continue;
        if (::unlink(file.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
