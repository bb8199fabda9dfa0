#pragma once
// The subcommands of irtool. Each takes the arguments after its name and returns the exit
// status; output goes to stdout, complaints to stderr.

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int RunNormalise(const Arguments& args);  // irtool normalise [FILE]
int RunRender(const Arguments& args);     // irtool render PROTOCOL NAME=VALUE...
int RunDecode(const Arguments& args);     // irtool decode [FILE]
int RunConvert(const Arguments& args);    // irtool convert BODY
int RunReplay(const Arguments& args);     // irtool replay RECORD
