/*
 * zorvik.h - the C face of the remote's device library.
 *
 * Eight entry points, bound at load time. Each returns a one-byte boolean: nonzero is success,
 * zero is failure; no entry point reports a reason. Texts passed in are null-terminated.
 *
 * Memory travels as hex text, two characters per byte, in address order. A 16-bit address is
 * passed as two texts of two hex digits, high byte first ("B0", "3C" for B03C). The bank text
 * (two hex digits) selects the memory area. Reads count in 8-byte units and give 16 hex
 * characters per unit.
 *
 * Result buffers are allocated zero-filled by the caller, with the fixed size given below for
 * each call; the library is not told the size and never writes past it. The library writes no
 * terminating zero beyond its text: the caller's zero fill ends it. On failure the buffer's
 * content is unspecified and must not be read.
 *
 * Calls may come from several threads at once; the library serialises them itself.
 *
 * On Windows every entry point uses the stdcall convention, so the vendor's own library can be
 * dropped in under this name.
 */
#ifndef ZORVIK_H
#define ZORVIK_H

#include <stdint.h>

#if defined(_WIN32)
#define ZORVIK_CALL __stdcall
#if defined(ZORVIK_BUILDING)
#define ZORVIK_API __declspec(dllexport)
#else
#define ZORVIK_API __declspec(dllimport)
#endif
#else
#define ZORVIK_CALL
#define ZORVIK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One-byte boolean result: nonzero is success. */
typedef unsigned char zorvik_bool;

/* Buffer sizes the callers provide. */
#define ZORVIK_VERSION_BUFFER_SIZE 250   /* ReadVersion */
#define ZORVIK_IDENTITY_BUFFER_SIZE 1024 /* RBasicInfo */
#define ZORVIK_CAPTURE_BUFFER_SIZE 10240 /* RCollectCodeInfo */
/* readdatav20: 512, 1024 or 2048 bytes, or 44 x key entries + 16 for the key table; the caller
 * asks for no more units than its buffer holds (16 characters per unit). */

/* 1: the remote is attached. 0: it is not (or the library cannot reach it). */
ZORVIK_API zorvik_bool ZORVIK_CALL link_state(void);

/* 1: a version text is in buffer (250 bytes). The program accepts only texts that begin with
 * "1020". 0: the remote did not answer. */
ZORVIK_API zorvik_bool ZORVIK_CALL ReadVersion(char* buffer);

/* 1: 16 x unitCount hex characters, read from address high:low of bank onward, are in buffer.
 * 0: the remote is absent, the read would run past address FFFF, the bank does not exist, an
 * address or bank text is not two hex digits, or unitCount is below 1. */
ZORVIK_API zorvik_bool ZORVIK_CALL readdatav20(char* buffer, int32_t unitCount,
                                               const char* addressHigh, const char* addressLow,
                                               const char* memoryBank);

/* 1: the bytes of hexData (two hex digits per byte, either case) are stored from address
 * high:low of bank onward. 0: nothing is stored: the remote is absent, the text is empty, of
 * odd length or not hex, the write would run past FFFF, or the bank does not exist. */
ZORVIK_API zorvik_bool ZORVIK_CALL writedatav20(const char* memoryBank, const char* addressHigh,
                                                const char* addressLow, const char* hexData);

/* 1: the remote has entered infrared capture mode. 0: the remote is absent. */
ZORVIK_API zorvik_bool ZORVIK_CALL SetCodeCarrierWave(void);

/* 1: a captured raw code is in buffer (10240 bytes) as text: four-hex-digit groups, the rest
 * zero bytes. A capture is handed out once. 0: nothing captured yet (the call may wait a few
 * tens of milliseconds for one first), or the remote is absent. */
ZORVIK_API zorvik_bool ZORVIK_CALL RCollectCodeInfo(char* buffer);

/* 1: the remote's identity is in buffer (1024 bytes); its first 30 characters equal the first
 * 30 hex characters of the info block at B000. 0: the remote is absent. */
ZORVIK_API zorvik_bool ZORVIK_CALL RBasicInfo(char* buffer);

/* Takes one hex text; no operation of the program calls it. 1: accepted. 0: the remote is
 * absent or the text is not hex. */
ZORVIK_API zorvik_bool ZORVIK_CALL WCodeTypeData(const char* hexData);

#ifdef __cplusplus
}
#endif

#endif /* ZORVIK_H */
