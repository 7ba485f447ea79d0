#pragma once
/* libunlha32.so: LZH archives for the player, over liblhasa (header levels 0 to 3;
 * methods lh0, lh1, lh4 to lh7, lz4, lz5, lzs, pm0 to pm2; liblhasa 0.3 has no lh2, lh3). The entry points keep the
 * names and the calling pattern of the archiver libraries the player was written against; the player looks each of them
 * up by name when it calls it.
 *
 * Member names are given as UTF-8: names written on Japanese systems (Shift-JIS) are
 * decoded through CP932, names of Unix archives that already are UTF-8 stay as they are.
 * Folders inside the archive stay part of the name, separated by "/".
 *
 * Extraction command line: "e [switches] "ARCHIVE" "FOLDER/" "PATTERN" ...". Each
 * pattern ("*" and "?" wildcards, ASCII letters without regard to case; "*.*" is every
 * member) selects members by their whole name; a matching member is written to FOLDER
 * followed by its name, its folders made as needed. The switches of the player's command
 * line ("-a0 -c -m1 -n -f1 -y1": no attributes restored, no time check, no messages,
 * no progress, overwrite, answer yes) are what this library always does; others are
 * ignored. A member is refused, with a line in the output buffer, when its name would
 * leave FOLDER (absolute, "..", a drive letter, a backslash inside a name, control
 * characters), when it is a symbolic link, or when it claims more than
 * UNLHA_MAX_MEMBER_SIZE bytes. Files are written under a temporary name and renamed
 * when whole and their CRC matches, so a full disk leaves no half file; FOLDER must be
 * a real folder (not a symbolic link), and so must every folder made below it. */

#include <stdint.h>

#define UNLHA_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

#define UNLHA_NAME_MAX 512
/* Bigger members are refused: no song or companion comes near it. */
#define UNLHA_MAX_MEMBER_SIZE (64u * 1024u * 1024u)

/* Results of Unlha (0 is success). */
#define UNLHA_ERROR_COMMAND 0x8001   /* the command line cannot be understood */
#define UNLHA_ERROR_ARCHIVE 0x8002   /* the archive cannot be opened or read */
#define UNLHA_ERROR_FOLDER 0x8003    /* the extraction folder is missing or not a real folder */
#define UNLHA_ERROR_NO_MEMBER 0x8004 /* no member matches the patterns */
#define UNLHA_ERROR_REFUSED 0x8005   /* a matching member was refused or could not be written */

/* Results of UnlhaFindFirst and UnlhaFindNext. */
#define UNLHA_FOUND 0
#define UNLHA_NO_MORE (-1)
#define UNLHA_BAD_HANDLE (-2)

/* One member, as the find calls fill it. */
typedef struct UnlhaMemberInfo {
  uint32_t originalSize;
  uint32_t compressedSize;
  uint32_t crc;    /* the member's CRC-16 */
  uint32_t flag;   /* 0, or 1 when extraction would refuse the member */
  uint32_t osType; /* the archive's OS byte ('M', 'U', ...) */
  uint16_t ratio;  /* compressed size per mille of the original */
  uint16_t date;   /* MS-DOS date and time of the member */
  uint16_t time;
  char fileName[UNLHA_NAME_MAX + 1]; /* UTF-8, folders separated by "/" */
  char reserved[3];
  char attribute[8]; /* "d" for a folder, "l" for a link, "-" for a file */
  char mode[8];      /* the method, e.g. "-lh5-" */
} UnlhaMemberInfo;

typedef void* UNLHA_ARCHIVE;

/* The version as major * 100 + minor (152 is 1.52). */
UNLHA_EXPORT int UnlhaGetVersion(void);
/* Kept for callers that set it; this library never shows windows. Returns 1. */
UNLHA_EXPORT int UnlhaSetBackGroundMode(int background);
/* Reads the archive's members; 0 when it is not an LZH archive or cannot be read. The
 * window and mode arguments are accepted and ignored. */
UNLHA_EXPORT UNLHA_ARCHIVE UnlhaOpenArchive(void* window, const char* archive, uint32_t mode);
UNLHA_EXPORT int UnlhaCloseArchive(UNLHA_ARCHIVE archive);
/* The first member matching the wildcard (null or "*.*": every member), then the next. */
UNLHA_EXPORT int UnlhaFindFirst(UNLHA_ARCHIVE archive, const char* wildcard, UnlhaMemberInfo* info);
UNLHA_EXPORT int UnlhaFindNext(UNLHA_ARCHIVE archive, UnlhaMemberInfo* info);
/* Runs a command line; 0 on success. Messages (one line each, zero-terminated, cut to the
 * size) go to the output buffer when one is given. */
UNLHA_EXPORT int Unlha(void* window, const char* commandLine, char* output, uint32_t outputSize);

#ifdef __cplusplus
}
#endif
