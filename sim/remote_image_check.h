#pragma once
// Checks of a remote's memory that tests make after the program has written to it.

#include <string>

#include "sim/remote_image.h"

// Whether the code table of the image is consistent: every entry in use lies inside the code
// area, no two entries in use share a unit, and the bitmap's bit of every unit of the code area
// is set exactly when an entry in use covers the unit (padding bits past the last unit are not
// looked at). The tables are found as the remote describes them: config block at B03C of bank
// 08, the directory it names, and the code table in the bank the config block names.
// Gives an empty text when consistent, otherwise what is wrong, one finding per line.
std::string CheckCodeTableConsistent(const RemoteImage& image);
