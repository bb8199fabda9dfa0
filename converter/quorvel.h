/*
 * quorvel.h - the C face of the infrared code converter (libquorvel, Quorvel.dll on Windows).
 *
 * ConvertCode turns the body of a normalised capture (four-hex-digit groups: marks and spaces
 * in microseconds, "FEFE" <pause in ms> "EDED" between frames, "EDED" at the end) into the
 * record the remote stores, "IIIIII::FIRST:SECOND:::DATA" in upper-case hex: the 3-byte code
 * id, the two key-entry fields (16 bytes together at most) and the code data for the code area
 * (whole 8-byte units, at most 255). The layout is documented in quorvel_record.h.
 *
 * mode must be 2; any other mode, a null input or an input that cannot be converted gives an
 * empty text. The result belongs to the library and stays valid until the same thread calls
 * ConvertCode again; calls from several threads at once are safe.
 *
 * On Windows the entry point uses the stdcall convention.
 */
#ifndef QUORVEL_H
#define QUORVEL_H

#include <stdint.h>

#if defined(_WIN32)
#define QUORVEL_CALL __stdcall
#if defined(QUORVEL_BUILDING)
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API __declspec(dllimport)
#endif
#else
#define QUORVEL_CALL
#define QUORVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The only mode there is. */
#define QUORVEL_MODE 2

QUORVEL_API const char* QUORVEL_CALL ConvertCode(const char* input, int32_t mode);

#ifdef __cplusplus
}
#endif

#endif /* QUORVEL_H */
