#pragma once
// The converter library's C interface: RCP and G36 songs to Standard MIDI File images.

#include <stdint.h>

#if defined(__GNUC__)
#define MORPH_EXPORT __attribute__((visibility("default")))
#else
#define MORPH_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Progress notification kinds.
enum { MORPH_NOTIFY_NONE = 0, MORPH_NOTIFY_MESSAGE = 1, MORPH_NOTIFY_CALLBACK = 2 };
// Source types of morphConvertFileFromBuffer.
enum { MORPH_SOURCE_RECOGNISE = 0, MORPH_SOURCE_RCP = 1, MORPH_SOURCE_RCP2 = 2, MORPH_SOURCE_G36 = 3 };

MORPH_EXPORT void* morphConvertFile(const char* fileName, int notifyKind, void* target, uint32_t message,
                                    int32_t userValue);
MORPH_EXPORT void* morphConvertFileFromBuffer(const void* image, uint32_t length, int sourceType, int notifyKind,
                                              void* target, uint32_t message, int32_t userValue);
MORPH_EXPORT void morphDeleteObject(void* object);
MORPH_EXPORT const uint8_t* morphGetSMF(void* object);
MORPH_EXPORT uint32_t morphGetSMFLength(void* object);
MORPH_EXPORT int morphGetOriginalFileType(void* object);
MORPH_EXPORT int morphGetVersionMajor(void);
MORPH_EXPORT int morphGetVersionMinor(void);
MORPH_EXPORT const char* morphGetCopyright(void);

#ifdef __cplusplus
}
#endif
