#include "platform/sound/wave_file.h"

#include <cstring>

namespace
{
uint32_t Le32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

bool Is(const BYTE* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

const uint16_t pcmFormat = 1;
const size_t headerBytes = 12; // "RIFF", its size, "WAVE"
const size_t chunkHeaderBytes = 8;
} // namespace

bool ParseWave(const void* data, size_t available, WaveSound* sound)
{
    auto* bytes = static_cast<const BYTE*>(data);
    if (!bytes || !sound || available < headerBytes || !Is(bytes, "RIFF") || !Is(bytes + 8, "WAVE"))
        return false;
    size_t fileBytes = size_t(Le32(bytes + 4)) + chunkHeaderBytes;
    if (fileBytes < headerBytes || fileBytes > available)
        return false;

    WaveSound found{};
    bool haveFormat = false;
    bool haveData = false;
    int blockAlign = 0;
    size_t at = headerBytes;
    while (at + chunkHeaderBytes <= fileBytes) {
        const BYTE* chunk = bytes + at;
        size_t size = Le32(chunk + 4);
        size_t body = at + chunkHeaderBytes;
        if (size > fileBytes - body)
            return false;
        if (Is(chunk, "fmt ")) {
            if (haveFormat || size < 16)
                return false;
            const BYTE* f = bytes + body;
            uint16_t tag = Le16(f);
            int channels = Le16(f + 2);
            uint32_t rate = Le32(f + 4);
            uint32_t byteRate = Le32(f + 8);
            blockAlign = Le16(f + 12);
            int bits = Le16(f + 14);
            if (tag != pcmFormat || channels < 1 || channels > 2 || (bits != 8 && bits != 16) ||
                rate < 1000 || rate > 192000 || blockAlign != channels * bits / 8 ||
                byteRate != rate * uint32_t(blockAlign))
                return false;
            found.channels = channels;
            found.sampleRate = int(rate);
            found.bitsPerSample = bits;
            haveFormat = true;
        } else if (Is(chunk, "data")) {
            if (haveData)
                return false;
            found.samples = bytes + body;
            found.sampleBytes = size;
            haveData = true;
        }
        // Chunks are padded to an even length; a last chunk may end without its pad byte.
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        return false;
    found.sampleBytes -= found.sampleBytes % size_t(blockAlign);
    found.fileBytes = fileBytes;
    *sound = found;
    return true;
}
