#include "lirc/lirc_device.h"

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <vector>

namespace lirc {
namespace {

// The name of the group a path belongs to, for the hint of a refused permission.
std::string GroupOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->gr_name;
}

// Sleeps the whole pause, however often a signal interrupts it.
void Pause(std::uint32_t us) {
    timespec left{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

}  // namespace

Refusal OpenRefusal(const std::string& path, int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
        case ENOTDIR:
            return {DeviceRefusal::kMissing, errorNumber, {}};
        case EACCES:
        case EPERM:
            return {DeviceRefusal::kPermissionDenied, errorNumber, GroupOf(path)};
        case ENODEV:
        case ENXIO:
            return {DeviceRefusal::kGone, errorNumber, {}};
        default:
            return {DeviceRefusal::kOpenFailed, errorNumber, {}};
    }
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

int FileDescriptor::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

DeviceControl::Answer SystemDeviceControl::Get(unsigned long request) {
    std::uint32_t value = 0;
    if (::ioctl(fd_, request, &value) != 0)
        return {errno, 0};
    return {0, value};
}

int SystemDeviceControl::Set(unsigned long request, std::uint32_t value) {
    return ::ioctl(fd_, request, &value) != 0 ? errno : 0;
}

Receiver::Receiver(FileDescriptor fd, PathKind kind, const ReceiverSetup& setup,
                   std::uint32_t signalEndUs)
    : fd_(std::move(fd)),
      kind_(kind),
      setup_(setup),
      reader_(fd_.Get(), signalEndUs, setup.measuresCarrier) {}

ReceiverOpening OpenReceiver(const std::string& path, const ReceiveOptions& options) {
    // Without O_NONBLOCK, opening a FIFO would wait for its writer here, out of reach of any
    // stop; the reader polls before every read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
        return {nullptr, OpenRefusal(path, errno)};
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0)
        return {nullptr, {DeviceRefusal::kOpenFailed, errno, {}}};

    ReceiverSetup setup;
    PathKind kind = PathKind::kDevice;
    if (S_ISCHR(status.st_mode)) {
        SystemDeviceControl control(fd.Get());
        const ReceiverConfiguration configured = ConfigureReceiver(control, options);
        if (configured.refusal)
            return {nullptr, configured.refusal};
        setup = configured.setup;
    } else if (S_ISFIFO(status.st_mode)) {
        kind = PathKind::kFifo;
    } else if (S_ISREG(status.st_mode)) {
        kind = PathKind::kFile;
    } else {
        return {nullptr, {DeviceRefusal::kUnusableFile, 0, {}}};
    }
    return {std::make_unique<Receiver>(std::move(fd), kind, setup, options.signalEndUs), {}};
}

Transmitter::Transmitter(FileDescriptor fd, PathKind kind, std::unique_ptr<DeviceControl> control,
                         std::uint32_t features)
    : fd_(std::move(fd)), kind_(kind), control_(std::move(control)), features_(features) {}

SendResult Transmitter::Send(const Durations& signal, const CarrierSettings& carrier) {
    SendResult result;
    const TransmissionPlan plan = PlanTransmissions(
        signal, kind_ == PathKind::kDevice ? kDeviceWriteLimits : kStreamWriteLimits);
    if (plan.outcome != PlanOutcome::kPlanned) {
        result.outcome = plan.outcome == PlanOutcome::kNotASignal ? SendOutcome::kNotASignal
                                                                  : SendOutcome::kFrameTooLong;
        return result;
    }
    if (control_) {
        const CarrierSetup set = ApplyCarrier(*control_, features_, carrier);
        result.carrierSet = set.carrierSet;
        result.dutyCycleSet = set.dutyCycleSet;
        if (set.outcome != CarrierOutcome::kApplied) {
            result.outcome = set.outcome == CarrierOutcome::kCarrierRefused
                                 ? SendOutcome::kCarrierRefused
                                 : SendOutcome::kDutyCycleRefused;
            result.errorNumber = set.errorNumber;
            return result;
        }
    }

    // A reader of a FIFO that goes away is an error of this write, not the end of the program.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    for (std::size_t i = 0; i < plan.transmissions.size(); ++i) {
        const Transmission& transmission = plan.transmissions[i];
        const auto* bytes = reinterpret_cast<const char*>(transmission.values.data());
        std::size_t left = transmission.values.size() * sizeof(std::uint32_t);
        while (left > 0) {
            const ssize_t written = ::write(fd_.Get(), bytes, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                const int error = errno;
                result.outcome = error == ENODEV || error == EPIPE || error == ENXIO
                                     ? SendOutcome::kDeviceGone
                                     : SendOutcome::kWriteFailed;
                result.errorNumber = error;
                ::sigaction(SIGPIPE, &previous, nullptr);
                return result;
            }
            bytes += written;
            left -= static_cast<std::size_t>(written);
        }
        ++result.writes;
        if (i + 1 < plan.transmissions.size())
            Pause(transmission.pauseAfterUs);
    }
    ::sigaction(SIGPIPE, &previous, nullptr);
    return result;
}

TransmitterOpening OpenTransmitter(const std::string& path) {
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0)
        return {nullptr, OpenRefusal(path, errno)};
    if (S_ISREG(before.st_mode))
        return {nullptr, {DeviceRefusal::kRegularFile, 0, {}}};
    if (!S_ISCHR(before.st_mode) && !S_ISFIFO(before.st_mode))
        return {nullptr, {DeviceRefusal::kUnusableFile, 0, {}}};

    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
        return {nullptr, OpenRefusal(path, errno)};
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0)
        return {nullptr, {DeviceRefusal::kOpenFailed, errno, {}}};
    // What was opened must be what was looked at.
    if ((status.st_mode & S_IFMT) != (before.st_mode & S_IFMT))
        return {nullptr, {DeviceRefusal::kUnusableFile, 0, {}}};

    if (S_ISFIFO(status.st_mode))
        return {std::make_unique<Transmitter>(std::move(fd), PathKind::kFifo, nullptr, 0), {}};
    auto control = std::make_unique<SystemDeviceControl>(fd.Get());
    const TransmitterConfiguration configured = ConfigureTransmitter(*control);
    if (configured.refusal)
        return {nullptr, configured.refusal};
    return {std::make_unique<Transmitter>(std::move(fd), PathKind::kDevice, std::move(control),
                                          configured.features),
            {}};
}

}  // namespace lirc
