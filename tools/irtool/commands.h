#pragma once
// The subcommands of irtool. Each declares its arguments on its CLI11 subcommand and gives
// back what runs once they are parsed: the exit status (0 success, 1 a failure, 2 wrong
// usage); output goes to stdout, complaints to stderr.

#include <cstddef>
#include <functional>

namespace CLI {
class App;
}

using CommandRun = std::function<int()>;

CommandRun DefineNormalise(CLI::App& command);  // irtool normalise [FILE]
CommandRun DefineRender(CLI::App& command);     // irtool render PROTOCOL NAME=VALUE...
CommandRun DefineDecode(CLI::App& command);     // irtool decode [FILE]
CommandRun DefineConvert(CLI::App& command);    // irtool convert BODY
CommandRun DefineReplay(CLI::App& command);     // irtool replay RECORD
CommandRun DefineReceive(CLI::App& command);    // irtool receive [--device PATH] [--decode]
CommandRun DefineSend(CLI::App& command);       // irtool send --device PATH SIGNAL

// The most any one input is read: a capture buffer is 10 KiB, a file of many signals a few MiB
// at most.
inline constexpr std::size_t kMaxSignalInput = 1024 * 1024;
inline constexpr std::size_t kMaxSignalListInput = 16 * 1024 * 1024;
