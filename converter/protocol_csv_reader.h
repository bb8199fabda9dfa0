#pragma once
// The CSV of a protocol database: a header "functionname,protocol,device,subdevice,function",
// then one button a line, its numbers in decimal (subdevice -1: none, the protocol's own rule
// gives it). A field may be in double quotes (a quote inside doubled). Protocols are named as
// in collection_protocols.h; a button of a protocol the converter does not render is read and
// says so.

#include <string_view>

#include "converter/code_collection.h"

namespace quorvel {

CollectionReading ReadProtocolCsv(std::string_view text);

}  // namespace quorvel
