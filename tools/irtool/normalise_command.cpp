// irtool normalise [FILE]: the program's own cut and normalisation of a raw capture, so that
// a saved capture can be replayed without the window.
//
// The capture is the first line of FILE, or of the standard input, without its line end: a
// raw buffer as the remote gives it, or the program's diagnostic file as it is. The command
// never writes the diagnostic file, so that replaying someone's capture cannot replace the
// one the user's own program left behind.
#include <cstdio>
#include <optional>
#include <string>

#include "learning/normalise.h"
#include "tools/irtool/commands.h"

namespace {

// The first line of in, bytes as they are (zero characters included); none on a read error.
std::optional<std::string> ReadFirstLine(std::FILE* in) {
    std::string line;
    int c;
    while ((c = std::getc(in)) != EOF && c != '\n')
        line.push_back(static_cast<char>(c));
    if (std::ferror(in))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> ReadCapture(const Arguments& args) {
    if (args.empty())
        return ReadFirstLine(stdin);
    std::FILE* in = std::fopen(args[0].c_str(), "rb");
    if (in == nullptr)
        return std::nullopt;
    auto line = ReadFirstLine(in);
    std::fclose(in);
    return line;
}

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

// Prints the cut text and the normalised text, one line each; the second line is empty when
// normalisation fails, and the status is then 1. 2: wrong arguments or an unreadable input.
int RunNormalise(const Arguments& args) {
    if (args.size() > 1) {
        std::fputs("usage: irtool normalise [FILE]\n", stderr);
        return 2;
    }
    const auto capture = ReadCapture(args);
    if (!capture) {
        std::fprintf(stderr, "irtool: cannot read %s\n",
                     args.empty() ? "the standard input" : args[0].c_str());
        return 2;
    }
    const std::string cut = CutAtEndMarker(*capture);
    const std::string normalised = NormaliseRawCode(cut);
    PrintLine(cut);
    PrintLine(normalised);
    if (std::fflush(stdout) != 0)
        return 2;
    return normalised.empty() ? 1 : 0;
}
