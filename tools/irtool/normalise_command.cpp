// irtool normalise [FILE]: the program's own cut and normalisation of a raw capture, so that
// a saved capture can be replayed without the window.
//
// The capture is the first line of FILE, or of the standard input, without its line end: a
// raw buffer as the remote gives it, or the program's diagnostic file as it is. The command
// never writes the diagnostic file, so that replaying someone's capture cannot replace the
// one the user's own program left behind.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "ircapture/bounded_input.h"
#include "learning/normalise.h"
#include "tools/irtool/commands.h"

namespace {

void PrintLine(const std::string& text) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size())) << '\n';
}

// Prints the cut text and the normalised text, one line each; the second line is empty when
// normalisation fails, and the status is then 1. 2: an unreadable input.
int RunNormalise(const std::string& path) {
    std::string capture;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxSignalInput, bounded_input::Extent::kFirstLine, capture,
                                  error)) {
        std::fprintf(stderr, "irtool: %s\n", error.c_str());
        return 2;
    }
    // The line as it is, zero characters included, without its line end.
    if (!capture.empty() && capture.back() == '\n')
        capture.pop_back();
    if (!capture.empty() && capture.back() == '\r')
        capture.pop_back();
    const std::string cut = CutAtEndMarker(capture);
    const std::string normalised = NormaliseRawCode(cut);
    PrintLine(cut);
    PrintLine(normalised);
    return normalised.empty() ? 1 : 0;
}

}  // namespace

CommandRun DefineNormalise(CLI::App& command) {
    auto path = std::make_shared<std::string>("-");
    command.add_option("FILE", *path, "the capture's file (default, or -: the standard input)");
    return [path] { return RunNormalise(*path); };
}
