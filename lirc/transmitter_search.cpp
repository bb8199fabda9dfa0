#include "lirc/transmitter_search.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "lirc/lirc_device.h"

namespace lirc {
namespace {

// N of "lircN", or -1 for any other name.
long DeviceNumber(const std::string& name) {
    constexpr std::string_view kPrefix = "lirc";
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0 ||
        name.size() > kPrefix.size() + 6)
        return -1;
    long number = 0;
    for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::vector<std::pair<long, std::string>> DeviceNames(const std::string& folder) {
    std::vector<std::pair<long, std::string>> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (const long number = DeviceNumber(name); number >= 0)
            names.emplace_back(number, name);
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

DeviceProbe ProbeDevice(const std::string& path) {
    // Read-only and without waiting: a look changes nothing of the device, nor of a FIFO.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
        return {OpenRefusal(path, errno), 0};
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0 || !S_ISCHR(status.st_mode))
        return {{DeviceRefusal::kNotLircDevice, 0, {}}, 0};
    SystemDeviceControl control(fd.Get());
    const DeviceControl::Answer features = control.Get(LIRC_GET_FEATURES);
    if (features.errorNumber != 0)
        return {{DeviceRefusal::kNotLircDevice, features.errorNumber, {}}, 0};
    if ((features.value & LIRC_CAN_SEND_PULSE) == 0)
        return {{DeviceRefusal::kCannotSend, 0, {}}, features.value};
    return {{}, features.value};
}

TransmitterSearch FindTransmitter(const std::string& folder,
                                  const std::function<DeviceProbe(const std::string&)>& probe) {
    TransmitterSearch search;
    for (const auto& [number, name] : DeviceNames(folder)) {
        const std::string path = folder + "/" + name;
        const DeviceProbe probed = probe(path);
        if (probed.refusal)
            search.lookedAt.push_back({path, probed.refusal});
        else
            search.candidates.push_back(path);
    }
    if (search.candidates.size() == 1) {
        search.outcome = TransmitterSearchOutcome::kFound;
        search.path = search.candidates.front();
    } else if (search.candidates.size() > 1) {
        search.outcome = TransmitterSearchOutcome::kSeveral;
    }
    return search;
}

}  // namespace lirc
