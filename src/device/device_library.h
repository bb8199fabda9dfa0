#pragma once
// The program's face of the remote's device library: readable, typed calls over the eight entry
// points (device_entry_points.h). It owns what the C face leaves to its caller: the result
// buffers and their sizes, the address and bank texts, and the hex text of memory. Above it
// nothing sees a char*, a buffer size or a hex text of memory.
//
// It holds no state of its own, so one instance serves every thread; the library behind it
// serialises its calls.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/memory_address.h"

class DeviceEntryPoints;

enum class ReadStatus {
    kRead,
    kNotAsked,  // no unit, or more units than the whole memory: refused before the library
    kRefused,   // the library refused (remote absent, past FFFF, no such bank)
    kNotHex,    // the answer is not hex text where the read's units must be
};

struct MemoryRead {
    ReadStatus status = ReadStatus::kNotAsked;
    MemoryBytes bytes;  // kUnitBytes per unit once read; empty otherwise

    bool Succeeded() const { return status == ReadStatus::kRead; }
};

class DeviceLibrary {
  public:
    explicit DeviceLibrary(DeviceEntryPoints& entryPoints) : entryPoints_(entryPoints) {}

    // Whether the remote is attached.
    bool IsAttached();
    // The library's version text (up to its zero fill), or none when the remote did not answer.
    std::optional<std::string> ReadVersion();
    // unitCount units (8 bytes each) from address of bank on. Either case of hex is read.
    MemoryRead ReadMemory(MemoryAddress address, int unitCount, MemoryBank bank);
    // Stores bytes from address of bank on, sent as upper-case hex; false when the library
    // refuses (an empty list included: the library stores nothing and says so).
    bool WriteMemory(MemoryAddress address, std::span<const std::uint8_t> bytes, MemoryBank bank);
    // Puts the remote into infrared capture mode.
    bool EnterCaptureMode();
    // The captured raw code as the library leaves it in its buffer, zero fill included (so a
    // diagnostic copy holds exactly what the normaliser saw), or none when nothing was captured.
    std::optional<std::string> CollectCapture();
    // The remote's identity text (up to its zero fill), or none when the remote did not answer.
    std::optional<std::string> Identity();
    // Hands bytes to the library's code-type call, sent as upper-case hex.
    bool WriteCodeTypeData(std::span<const std::uint8_t> bytes);

  private:
    DeviceEntryPoints& entryPoints_;
};
