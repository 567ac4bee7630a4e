// The sound "IDW_TIME_ADDED" of kind "WAVE", played when a new record was stored: a RIFF WAVE
// file of 8-bit PCM, one channel, 8000 samples a second, with 16,046 bytes of samples (about
// two seconds). It is a chime of two bell strokes, a fourth apart and rising, that fade away.
// The compiler works the samples out: the file is a constant like the other resources, with no
// sound file kept beside the sources.
#include "resources/data/resource_data.h"
#include "resources/resource_ids.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace
{
constexpr uint32_t sampleRate = 8000;
constexpr size_t sampleBytes = 16046;
constexpr size_t headerBytes = 44; // RIFF header, a 16-byte format chunk, the data chunk header
constexpr size_t fileBytes = headerBytes + sampleBytes;

constexpr double pi = 3.14159265358979323846;

constexpr double Sin(double x)
{
    double turns = x / (2 * pi);
    x -= double(static_cast<long long>(turns)) * 2 * pi;
    if (x > pi)
        x -= 2 * pi;
    else if (x < -pi)
        x += 2 * pi;
    if (x > pi / 2)
        x = pi - x;
    else if (x < -pi / 2)
        x = -pi - x;
    double square = x * x, term = x, sum = x;
    for (int n = 1; n <= 8; ++n) {
        term *= -square / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

constexpr double Exp(double x)
{
    int halvings = 0;
    while (x < -0.5 || x > 0.5) {
        x /= 2;
        ++halvings;
    }
    double term = 1, sum = 1;
    for (int n = 1; n < 16; ++n) {
        term *= x / n;
        sum += term;
    }
    while (halvings-- > 0)
        sum *= sum;
    return sum;
}

// A bell's stroke: the note and two overtones, the higher ones dying sooner.
struct Partial {
    double ratio;
    double amplitude;
    double seconds; // to fall to 1/e
};
constexpr Partial bell[] = {{1.0, 1.0, 0.60}, {2.0, 0.30, 0.26}, {3.0, 0.10, 0.13}};
constexpr size_t partials = std::size(bell);

struct Stroke {
    double start; // seconds
    double frequency;
    double loudness;
};
constexpr Stroke strokes[] = {{0.0, 783.99, 1.0}, {0.16, 1046.50, 0.9}};
constexpr size_t strokeCount = std::size(strokes);

constexpr double attackSeconds = 0.004; // no click at a stroke's start
constexpr double fadeSeconds = 0.35;    // the last of it fades to silence
constexpr double gain = 0.38;           // well inside the 8 bits when the strokes meet

constexpr void Put32(std::array<BYTE, fileBytes>& file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + size_t(i)] = BYTE(value >> (8 * i));
}

constexpr void Put16(std::array<BYTE, fileBytes>& file, size_t at, uint16_t value)
{
    file[at] = BYTE(value);
    file[at + 1] = BYTE(value >> 8);
}

constexpr void PutTag(std::array<BYTE, fileBytes>& file, size_t at, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        file[at + size_t(i)] = BYTE(tag[i]);
}

constexpr std::array<BYTE, fileBytes> MakeChime()
{
    std::array<BYTE, fileBytes> file{};
    PutTag(file, 0, "RIFF");
    Put32(file, 4, uint32_t(fileBytes - 8));
    PutTag(file, 8, "WAVE");
    PutTag(file, 12, "fmt ");
    Put32(file, 16, 16);
    Put16(file, 20, 1); // PCM
    Put16(file, 22, 1); // one channel
    Put32(file, 24, sampleRate);
    Put32(file, 28, sampleRate); // bytes a second
    Put16(file, 32, 1);          // bytes a sample
    Put16(file, 34, 8);          // bits a sample
    PutTag(file, 36, "data");
    Put32(file, 40, uint32_t(sampleBytes));

    // Each partial turns by the same angle and its envelope falls by the same factor every
    // sample: a rotation and a product each, rather than a sine and an exponential a sample.
    double fall[partials] = {};
    for (size_t p = 0; p < partials; ++p)
        fall[p] = Exp(-1.0 / (bell[p].seconds * sampleRate));
    double turnCos[strokeCount][partials] = {};
    double turnSin[strokeCount][partials] = {};
    double phaseCos[strokeCount][partials] = {};
    double phaseSin[strokeCount][partials] = {};
    double envelope[strokeCount][partials] = {};
    for (size_t s = 0; s < strokeCount; ++s) {
        for (size_t p = 0; p < partials; ++p) {
            double step = 2 * pi * strokes[s].frequency * bell[p].ratio / sampleRate;
            turnCos[s][p] = Sin(step + pi / 2);
            turnSin[s][p] = Sin(step);
            phaseCos[s][p] = 1;
            envelope[s][p] = bell[p].amplitude * strokes[s].loudness;
        }
    }

    const double length = double(sampleBytes) / sampleRate;
    for (size_t i = 0; i < sampleBytes; ++i) {
        double t = double(i) / sampleRate;
        double level = 0;
        for (size_t s = 0; s < strokeCount; ++s) {
            double since = t - strokes[s].start;
            if (since < 0)
                continue;
            double rise = since < attackSeconds ? since / attackSeconds : 1.0;
            for (size_t p = 0; p < partials; ++p) {
                level += rise * envelope[s][p] * phaseSin[s][p];
                double c = phaseCos[s][p], n = phaseSin[s][p];
                phaseCos[s][p] = c * turnCos[s][p] - n * turnSin[s][p];
                phaseSin[s][p] = n * turnCos[s][p] + c * turnSin[s][p];
                envelope[s][p] *= fall[p];
            }
        }
        double left = length - t;
        if (left < fadeSeconds)
            level *= left / fadeSeconds;
        double scaled = level * gain * 127.0;
        int step = scaled >= 0 ? int(scaled + 0.5) : -int(-scaled + 0.5);
        step = step > 127 ? 127 : (step < -128 ? -128 : step);
        file[headerBytes + i] = BYTE(128 + step);
    }
    return file;
}

constexpr std::array<BYTE, fileBytes> chime = MakeChime();
} // namespace

const CUSTOMRESOURCE ZentallyCustoms[ZentallyCustomCount] = {
    {SOUND_TYPE, SOUND_TIME_ADDED, chime.data(), chime.size()},
};
