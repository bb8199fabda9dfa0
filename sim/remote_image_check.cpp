#include "sim/remote_image_check.h"

RemoteMemoryCheck CheckRemoteMemory(const RemoteImage& image) {
    return CheckRemoteMemory(image.banks);
}

std::string CheckCodeTableConsistent(const RemoteImage& image) {
    std::string text;
    for (const std::string& finding : CheckRemoteMemory(image).findings)
        text += finding + "\n";
    return text;
}
