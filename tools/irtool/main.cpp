// irtool: the program's normaliser and infrared converter for people and scripts.
#include <cstdio>
#include <cstring>

#include "tools/irtool/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;
};

const Command kCommands[] = {
    {"normalise", RunNormalise, "normalise [FILE]      cut and normalise a raw capture"},
    {"render", RunRender, "render PROTOCOL NAME=VALUE... [--format us|raw|pronto] [--repeats N]"},
    {"decode", RunDecode, "decode [FILE]         name the protocol and parameters of a signal"},
    {"convert", RunConvert, "convert BODY          the stored record of a normalised body"},
    {"replay", RunReplay,
     "replay RECORD [--format us|pronto]  what a key holding the record sends"},
};

int Usage() {
    std::fputs("usage: irtool COMMAND ...\n", stderr);
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  irtool %s\n", c.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(Arguments(argv + 2, argv + argc));
    }
    return Usage();
}
