// Sounds: a WAVE file played from memory or the stopping of the sound that plays.
#pragma once

#include "platform/wintypes.h"

#define SND_SYNC 0x0000      // accepted; the sound still plays while the program goes on
#define SND_ASYNC 0x0001     // returns at once while the sound plays
#define SND_NODEFAULT 0x0002 // no default sound when the one asked for cannot be played
#define SND_MEMORY 0x0004    // the name points at a WAVE file in memory
#define SND_LOOP 0x0008      // not supported: refused
#define SND_NOSTOP 0x0010    // fails instead of stopping a sound that still plays

// Plays the RIFF WAVE file (PCM, 8 or 16 bits, one or two channels) that `sound` points at with
// SND_MEMORY. The file is read at once, so the memory may change after the call. Returns TRUE
// when the sound was accepted: it plays on the audio device, or is skipped silently where there
// is none, and is recorded either way. FALSE, with ERROR_INVALID_DATA, for a file that is not
// such a WAVE file; FALSE, with ERROR_FILE_NOT_FOUND, for a named sound (without SND_MEMORY),
// which the device does not have; FALSE with SND_NOSTOP while a sound plays. A null `sound` stops
// the sound that plays and returns TRUE.
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);
