#pragma once
// Reading a text that a person names on the command line (a file, or - for the standard
// input) for remote-sim and irtool. A name may lead anywhere: a folder, /dev/zero, a FIFO no
// one writes to. So a named input must be a regular file, opening it never waits for a
// writer, and no input is read past a cap; each refusal is a sentence for the command line.

#include <cstddef>
#include <string>

namespace bounded_input {

enum class Extent {
    kWhole,      // the whole input
    kFirstLine,  // up to and including the first line break (or the end)
};

// Reads path ("-": the standard input) into text, at most maxBytes of it. false, with error
// saying why (naming the input), for an input that cannot be opened or read, that is not a
// regular file, or that holds more than maxBytes within the extent read.
bool ReadInput(const std::string& path, std::size_t maxBytes, Extent extent, std::string& text,
               std::string& error);

// How error names an input: the path, or "the standard input" for -.
std::string InputName(const std::string& path);

}  // namespace bounded_input
