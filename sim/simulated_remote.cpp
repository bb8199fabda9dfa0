#include "sim/simulated_remote.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/hex_digits.h"

namespace {

constexpr long kAddressLimit = 0x10000;

// Copies text into a caller's buffer of `size` bytes and zero-fills the rest, keeping at
// least one zero at the end when the text must stay terminated.
void FillBuffer(char* buffer, std::size_t size, const std::string& text, bool keepTerminator) {
    const std::size_t room = keepTerminator ? size - 1 : size;
    const std::size_t count = std::min(text.size(), room);
    std::memcpy(buffer, text.data(), count);
    std::memset(buffer + count, 0, size - count);
}

// A bank or an address half: exactly two hex digits; false for anything else, including a
// null pointer.
bool ParseTwoHexDigits(const char* text, int& value) {
    const auto parsed = text != nullptr ? hex::ParseFixedDigits(text, 2) : std::nullopt;
    if (parsed)
        value = static_cast<int>(*parsed);
    return parsed.has_value();
}

// Non-empty, even-length hex text to bytes; false (bytes untouched) otherwise.
bool ParseHexData(const char* text, std::vector<std::uint8_t>& bytes) {
    auto parsed = hex::ParseBytes(text);
    if (!parsed || parsed->empty())
        return false;
    bytes = std::move(*parsed);
    return true;
}

// Address from its two texts; false unless each is exactly two hex digits.
bool ParseAddress(const char* high, const char* low, int& address) {
    int h = 0;
    int l = 0;
    if (!ParseTwoHexDigits(high, h) || !ParseTwoHexDigits(low, l))
        return false;
    address = h * 256 + l;
    return true;
}

}  // namespace

SimulatedRemote::SimulatedRemote(RemoteImage image) : image_(std::move(image)) {
    for (auto& [number, bank] : image_.banks)
        bank.resize(RemoteImage::kBankSize, 0);
}

// Counts the call, lets a slow remote take its time, and tells whether the call may go on:
// the remote must be plugged and the entry point not made to fail.
bool SimulatedRemote::BeginCall(std::unique_lock<std::mutex>& lock, DeviceCall call) {
    ++callCounts_[static_cast<int>(call)];
    if (callDelay_.count() > 0) {
        const auto deadline = std::chrono::steady_clock::now() + callDelay_;
        while (changed_.wait_until(lock, deadline) != std::cv_status::timeout) {
        }
    }
    return plugged_ && failingCalls_.count(call) == 0;
}

const std::vector<std::uint8_t>* SimulatedRemote::FindBank(int bank) const {
    const auto found = image_.banks.find(bank);
    return found == image_.banks.end() ? nullptr : &found->second;
}

std::optional<std::string> SimulatedRemote::IdentityLocked() const {
    if (!image_.identityOverride.empty())
        return image_.identityOverride;
    const auto* bank = FindBank(kIdentityBank);
    if (bank == nullptr)
        return std::nullopt;
    return hex::FormatBytes({bank->data() + kIdentityAddress, kIdentityBytes});
}

bool SimulatedRemote::CaptureModeOn() const {
    return captureMode_ && std::chrono::steady_clock::now() - lastCapturePoll_ <= captureIdleLimit_;
}

void SimulatedRemote::EndLapsedCaptureMode() {
    if (captureMode_ && !CaptureModeOn()) {
        captureMode_ = false;
        heldCapture_.reset();
    }
}

bool SimulatedRemote::CaptureDeliverable() const {
    return plugged_ && CaptureModeOn() && heldCapture_.has_value();
}

bool SimulatedRemote::link_state() {
    std::unique_lock lock(mutex_);
    return BeginCall(lock, DeviceCall::kLinkState);
}

bool SimulatedRemote::ReadVersion(char* buffer) {
    std::unique_lock lock(mutex_);
    if (!BeginCall(lock, DeviceCall::kReadVersion) || buffer == nullptr)
        return false;
    FillBuffer(buffer, kVersionBufferSize, image_.version, true);
    return true;
}

bool SimulatedRemote::readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                                  const char* addressLow, const char* memoryBank) {
    std::unique_lock lock(mutex_);
    if (!BeginCall(lock, DeviceCall::kReadData) || buffer == nullptr)
        return false;
    int address = 0;
    int bankNumber = 0;
    if (unitCount < 1 || !ParseAddress(addressHigh, addressLow, address) ||
        !ParseTwoHexDigits(memoryBank, bankNumber))
        return false;
    const long length = 8L * unitCount;
    const auto* bank = FindBank(bankNumber);
    if (bank == nullptr || address + length > kAddressLimit ||
        failingReadAddresses_.count(address) != 0)
        return false;
    // Exactly 16 characters per unit and no terminator: the caller sized the buffer so.
    const std::string text =
        hex::FormatBytes({bank->data() + address, static_cast<std::size_t>(length)});
    std::memcpy(buffer, text.data(), text.size());
    return true;
}

bool SimulatedRemote::writedatav20(const char* memoryBank, const char* addressHigh,
                                   const char* addressLow, const char* hexData) {
    std::unique_lock lock(mutex_);
    const bool admitted = BeginCall(lock, DeviceCall::kWriteData);
    if (writeFaultCountdown_ > 0 && --writeFaultCountdown_ == 0)
        return false;
    if (!admitted || hexData == nullptr)
        return false;
    int address = 0;
    int bankNumber = 0;
    std::vector<std::uint8_t> bytes;
    if (!ParseAddress(addressHigh, addressLow, address) ||
        !ParseTwoHexDigits(memoryBank, bankNumber) || !ParseHexData(hexData, bytes))
        return false;
    auto found = image_.banks.find(bankNumber);
    if (found == image_.banks.end() || address + static_cast<long>(bytes.size()) > kAddressLimit)
        return false;
    auto& bank = found->second;
    const auto at = bank.begin() + address;
    const std::vector<std::uint8_t> before(at, at + static_cast<long>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), at);
    if (writeObserver_ && !writeObserver_(image_)) {
        std::copy(before.begin(), before.end(), bank.begin() + address);
        return false;
    }
    writes_.push_back({memoryBank, address, hexData});
    if (writeReplyDelay_.count() > 0) {
        // The remote stays usable meanwhile; only this answer is late.
        const auto deadline = std::chrono::steady_clock::now() + writeReplyDelay_;
        while (changed_.wait_until(lock, deadline) != std::cv_status::timeout) {
        }
    }
    if (lostReplyCountdown_ > 0 && --lostReplyCountdown_ == 0)
        return false;
    return true;
}

bool SimulatedRemote::SetCodeCarrierWave() {
    std::unique_lock lock(mutex_);
    if (!BeginCall(lock, DeviceCall::kSetCodeCarrierWave))
        return false;
    // Every capture mode starts empty: what arrived before was never received.
    captureMode_ = true;
    ++captureModeEntries_;
    heldCapture_.reset();
    lastCapturePoll_ = std::chrono::steady_clock::now();
    changed_.notify_all();
    return true;
}

bool SimulatedRemote::RCollectCodeInfo(char* buffer) {
    std::unique_lock lock(mutex_);
    if (!BeginCall(lock, DeviceCall::kCollectCodeInfo) || buffer == nullptr)
        return false;
    EndLapsedCaptureMode();
    if (captureMode_)
        lastCapturePoll_ = std::chrono::steady_clock::now();
    if (!CaptureDeliverable() && collectWait_.count() > 0)
        changed_.wait_for(lock, collectWait_, [this] { return CaptureDeliverable(); });
    if (!CaptureDeliverable())
        return false;
    FillBuffer(buffer, kCaptureBufferSize, *heldCapture_, false);
    heldCapture_.reset();
    captureMode_ = false;
    return true;
}

bool SimulatedRemote::RBasicInfo(char* buffer) {
    std::unique_lock lock(mutex_);
    if (!BeginCall(lock, DeviceCall::kBasicInfo) || buffer == nullptr)
        return false;
    const auto identity = IdentityLocked();
    if (!identity)
        return false;
    FillBuffer(buffer, kIdentityBufferSize, *identity, true);
    return true;
}

bool SimulatedRemote::WCodeTypeData(const char* hexData) {
    std::unique_lock lock(mutex_);
    std::vector<std::uint8_t> bytes;
    return BeginCall(lock, DeviceCall::kCodeTypeData) && hexData != nullptr &&
           ParseHexData(hexData, bytes);
}

void SimulatedRemote::Plug() {
    std::lock_guard lock(mutex_);
    plugged_ = true;
}

void SimulatedRemote::Unplug() {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    captureMode_ = false;
    heldCapture_.reset();
    changed_.notify_all();
}

bool SimulatedRemote::IsPlugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

void SimulatedRemote::SetIdentityOverride(const std::string& identity) {
    std::lock_guard lock(mutex_);
    image_.identityOverride = identity;
}

std::string SimulatedRemote::Identity() const {
    std::lock_guard lock(mutex_);
    return IdentityLocked().value_or(std::string());
}

bool SimulatedRemote::QueueCapture(const std::string& rawText) {
    if (rawText.size() > kCaptureBufferSize || rawText.find('\0') != std::string::npos)
        return false;
    std::lock_guard lock(mutex_);
    EndLapsedCaptureMode();
    if (!plugged_ || !captureMode_)
        return false;
    heldCapture_ = rawText;
    changed_.notify_all();
    return true;
}

bool SimulatedRemote::InCaptureMode() const {
    std::lock_guard lock(mutex_);
    return CaptureModeOn();
}

std::uint64_t SimulatedRemote::CaptureModeEntries() const {
    std::lock_guard lock(mutex_);
    return captureModeEntries_;
}

bool SimulatedRemote::CapturePending() const {
    std::lock_guard lock(mutex_);
    return CaptureModeOn() && heldCapture_.has_value();
}

void SimulatedRemote::SetCaptureIdleLimit(std::chrono::milliseconds limit) {
    std::lock_guard lock(mutex_);
    captureIdleLimit_ = limit;
}

void SimulatedRemote::SetCollectWait(std::chrono::milliseconds wait) {
    std::lock_guard lock(mutex_);
    collectWait_ = wait;
}

void SimulatedRemote::SetWriteObserver(WriteObserver observer) {
    std::lock_guard lock(mutex_);
    writeObserver_ = std::move(observer);
}

RemoteImage SimulatedRemote::Image() const {
    std::lock_guard lock(mutex_);
    return image_;
}

void SimulatedRemote::ReplaceImage(RemoteImage image) {
    for (auto& [number, bank] : image.banks)
        bank.resize(RemoteImage::kBankSize, 0);
    std::lock_guard lock(mutex_);
    image_ = std::move(image);
    captureMode_ = false;
    heldCapture_.reset();
}

void SimulatedRemote::FailNthWrite(int n) {
    std::lock_guard lock(mutex_);
    writeFaultCountdown_ = std::max(n, 0);
}

void SimulatedRemote::LoseNthWriteReply(int n) {
    std::lock_guard lock(mutex_);
    lostReplyCountdown_ = std::max(n, 0);
}

void SimulatedRemote::SetWriteReplyDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    writeReplyDelay_ = delay;
}

void SimulatedRemote::FailReadsAt(int address) {
    std::lock_guard lock(mutex_);
    failingReadAddresses_.insert(address);
}

void SimulatedRemote::FailCall(DeviceCall call) {
    std::lock_guard lock(mutex_);
    failingCalls_.insert(call);
}

void SimulatedRemote::SetCallDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    callDelay_ = delay;
}

void SimulatedRemote::ClearFaults() {
    std::lock_guard lock(mutex_);
    writeFaultCountdown_ = 0;
    lostReplyCountdown_ = 0;
    writeReplyDelay_ = std::chrono::milliseconds(0);
    failingReadAddresses_.clear();
    failingCalls_.clear();
    callDelay_ = std::chrono::milliseconds(0);
}

std::vector<std::uint8_t> SimulatedRemote::MemoryBytes(int bank, int address, int length) const {
    std::lock_guard lock(mutex_);
    const auto* memory = FindBank(bank);
    if (memory == nullptr || address < 0 || length < 0 ||
        static_cast<long>(address) + length > kAddressLimit)
        return {};
    return {memory->begin() + address, memory->begin() + address + length};
}

std::string SimulatedRemote::MemoryHex(int bank, int address, int length) const {
    const auto bytes = MemoryBytes(bank, address, length);
    return hex::FormatBytes(bytes);
}

int SimulatedRemote::CallCount(DeviceCall call) const {
    std::lock_guard lock(mutex_);
    return callCounts_[static_cast<int>(call)];
}

std::vector<RemoteWrite> SimulatedRemote::Writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

void SimulatedRemote::ClearCallLog() {
    std::lock_guard lock(mutex_);
    std::fill(std::begin(callCounts_), std::end(callCounts_), 0);
    writes_.clear();
}
