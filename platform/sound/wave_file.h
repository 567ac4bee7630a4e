// Reading a RIFF WAVE file held in memory. Not for the program.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>

// A PCM sound as its file describes it; `samples` points into the file.
struct WaveSound {
    int channels;      // 1 or 2
    int sampleRate;    // samples a second, for each channel
    int bitsPerSample; // 8 (unsigned) or 16 (signed)
    const BYTE* samples;
    size_t sampleBytes; // whole frames only
    size_t fileBytes;   // the RIFF chunk with its header
};

// Reads the file at `data`, of which `available` bytes may be read. True when it is a RIFF WAVE
// file of uncompressed PCM with one or two channels of 8 or 16 bits, a format chunk whose sizes
// agree with each other, and a data chunk, all inside the RIFF size, which itself must fit in
// `available`. Anything else is false and `sound` is left alone.
bool ParseWave(const void* data, size_t available, WaveSound* sound);
