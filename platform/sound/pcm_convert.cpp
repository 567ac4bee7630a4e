#include "platform/sound/pcm_convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{
// The samples as floats in -1..1, frame by frame.
std::vector<float> Decode(const WaveSound& sound)
{
    size_t count = sound.sampleBytes / size_t(sound.bitsPerSample / 8);
    std::vector<float> samples(count);
    for (size_t i = 0; i < count; ++i) {
        if (sound.bitsPerSample == 8) {
            samples[i] = (float(sound.samples[i]) - 128.0f) / 128.0f;
        } else {
            auto v = int16_t(sound.samples[2 * i] | sound.samples[2 * i + 1] << 8);
            samples[i] = float(v) / 32768.0f;
        }
    }
    return samples;
}
} // namespace

QByteArray ConvertPcm(const WaveSound& sound, const QAudioFormat& to)
{
    if (to.sampleRate() <= 0 || to.bytesPerSample() <= 0 || sound.channels < 1 ||
        sound.sampleRate <= 0)
        return QByteArray();
    std::vector<float> from = Decode(sound);
    size_t frames = from.size() / size_t(sound.channels);
    if (frames == 0)
        return QByteArray();
    int outChannels = std::max(1, to.channelCount());
    double ratio = double(sound.sampleRate) / double(to.sampleRate());
    size_t outFrames = size_t(double(frames) / ratio);
    QByteArray out;
    out.resize(qsizetype(outFrames * size_t(outChannels) * size_t(to.bytesPerSample())));
    char* write = out.data();
    for (size_t f = 0; f < outFrames; ++f) {
        double position = double(f) * ratio;
        size_t i = std::min(size_t(position), frames - 1);
        size_t j = std::min(i + 1, frames - 1);
        auto t = float(position - double(i));
        for (int c = 0; c < outChannels; ++c) {
            int source = std::min(c, sound.channels - 1);
            float a = from[i * size_t(sound.channels) + size_t(source)];
            float b = from[j * size_t(sound.channels) + size_t(source)];
            float v = std::clamp(a + (b - a) * t, -1.0f, 1.0f);
            switch (to.sampleFormat()) {
            case QAudioFormat::UInt8: *write = char(uint8_t(std::lround(v * 127.0f) + 128)); break;
            case QAudioFormat::Int16: {
                auto s = int16_t(std::lround(v * 32767.0f));
                std::memcpy(write, &s, sizeof(s));
                break;
            }
            case QAudioFormat::Int32: {
                auto s = int32_t(std::lround(double(v) * 2147483647.0));
                std::memcpy(write, &s, sizeof(s));
                break;
            }
            default: std::memcpy(write, &v, sizeof(v)); break;
            }
            write += to.bytesPerSample();
        }
    }
    return out;
}
