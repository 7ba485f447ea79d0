#pragma once
/* SMF Knife: rewrites a Standard MIDI File by the rules of a .CFG file (README.md).
   C linkage; no exception leaves the library. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SMFK_EXPORT __attribute__((visibility("default")))

/* The caller's record: `size` is 24; `worker` is handed back to the progress callback
   as its second argument (a 32-bit address: the record and what it points to live in
   low memory). */
#pragma pack(push, 1)
typedef struct SmfkParameters {
  uint32_t size;
  uint32_t reserved[4];
  uint32_t worker;
} SmfkParameters;
#pragma pack(pop)

/* Called with 0..99 as the conversion goes on; returning 0 stops it. */
typedef int32_t (*SmfkProgress)(int32_t percent, void* worker);

/* `parameters` points to an SmfkParameters record (or is null).
   Results: negative = success; 1 configuration unreadable or invalid; 2 source unreadable;
   3 output cannot be written; 4 not a Standard MIDI File; 5 out of memory; 7 stopped by the
   progress callback. `owner` and `reserved` are not used by this converter. */
SMFK_EXPORT int32_t SmfkConvert(const void* owner, const char* source, const char* output, const char* configuration,
                                int32_t reserved, void* parameters, SmfkProgress progress);

/* Major × 100 + minor. */
SMFK_EXPORT int32_t GetSmfkVersion(void);

#ifdef __cplusplus
}
#endif
