// WAVE files read from memory, and sndPlaySoundW's answers and records.
#include "platform/mmsystem.h"
#include "platform/sound/pcm_convert.h"
#include "platform/sound/sound_record.h"
#include "platform/sound/wave_file.h"
#include "tests/platform/menubar/test_module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace test_module;

namespace
{
std::vector<BYTE> Tiny()
{
    return std::vector<BYTE>(std::begin(tinyWave), std::end(tinyWave));
}

void Put32(std::vector<BYTE>& file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + size_t(i)] = BYTE(value >> (8 * i));
}

bool Parses(const std::vector<BYTE>& file)
{
    WaveSound sound;
    return ParseWave(file.data(), file.size(), &sound);
}

// Offsets in the tiny file.
const size_t riffSize = 4, formatTag = 20, channels = 22, byteRate = 28, blockAlign = 32, bits = 34,
             dataTag = 36, dataSize = 40;

size_t hookCalls = 0;
void CountHook(const PlayedSound&)
{
    ++hookCalls;
}
} // namespace

TEST(ParseWave, ReadsTheFormatAndSamplesOfAPcmFile)
{
    WaveSound sound;
    ASSERT_TRUE(ParseWave(tinyWave, sizeof(tinyWave), &sound));
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.sampleRate, 8000);
    EXPECT_EQ(sound.bitsPerSample, 8);
    EXPECT_EQ(sound.samples, tinyWave + 44);
    EXPECT_EQ(sound.sampleBytes, 6u);
    EXPECT_EQ(sound.fileBytes, sizeof(tinyWave));
}

TEST(ParseWave, SkipsChunksItDoesNotKnowAndTheirPadByte)
{
    std::vector<BYTE> file = Tiny();
    const BYTE extra[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.begin() + 12, std::begin(extra), std::end(extra));
    Put32(file, riffSize, uint32_t(file.size() - 8));
    WaveSound sound;
    ASSERT_TRUE(ParseWave(file.data(), file.size(), &sound));
    EXPECT_EQ(sound.sampleBytes, 6u);
    EXPECT_EQ(sound.samples[1], 160);
}

TEST(ParseWave, RefusesWhatIsNotARiffWaveFile)
{
    WaveSound sound;
    EXPECT_FALSE(ParseWave(notAWave, sizeof(notAWave), &sound));
    EXPECT_FALSE(ParseWave(nullptr, 100, &sound));
    EXPECT_FALSE(ParseWave(tinyWave, 11, &sound));
    std::vector<BYTE> file = Tiny();
    file[0] = 'r';
    EXPECT_FALSE(Parses(file));
}

TEST(ParseWave, RefusesSizesThatReachPastTheFile)
{
    EXPECT_FALSE(ParseWave(tinyWave, sizeof(tinyWave) - 1, nullptr));
    WaveSound sound;
    EXPECT_FALSE(ParseWave(tinyWave, sizeof(tinyWave) - 1, &sound))
        << "RIFF size beyond the memory";
    std::vector<BYTE> file = Tiny();
    Put32(file, dataSize, 7);
    EXPECT_FALSE(Parses(file)) << "data chunk beyond the RIFF size";
    file = Tiny();
    Put32(file, riffSize, 0xFFFFFFF0u);
    EXPECT_FALSE(Parses(file));
    file = Tiny();
    Put32(file, riffSize, 2);
    EXPECT_FALSE(Parses(file)) << "RIFF size smaller than its own header";
}

TEST(ParseWave, RefusesFormatsThatAreNotPlainPcmOrDisagree)
{
    std::vector<BYTE> file = Tiny();
    file[formatTag] = 2; // ADPCM
    EXPECT_FALSE(Parses(file));
    file = Tiny();
    file[channels] = 3;
    EXPECT_FALSE(Parses(file));
    file = Tiny();
    file[bits] = 12;
    EXPECT_FALSE(Parses(file));
    file = Tiny();
    file[blockAlign] = 2;
    EXPECT_FALSE(Parses(file)) << "two bytes a sample for one 8-bit channel";
    file = Tiny();
    Put32(file, byteRate, 16000);
    EXPECT_FALSE(Parses(file)) << "a byte rate that disagrees with the sample rate";
}

TEST(ParseWave, RefusesAFileWithoutFormatOrData)
{
    std::vector<BYTE> file = Tiny();
    file[dataTag] = 'D';
    EXPECT_FALSE(Parses(file));
    file = Tiny();
    file[12] = 'F';
    EXPECT_FALSE(Parses(file));
}

class PlaySound : public testing::Test
{
  protected:
    void SetUp() override
    {
        SetAudioOutputEnabled(false);
        RecordedSounds().clear();
        hookCalls = 0;
        SetSoundHook(CountHook);
    }
    void TearDown() override { SetSoundHook(nullptr); }
};

TEST_F(PlaySound, AcceptsAWaveFileFromAResourceAndRecordsItsNameAndBytes)
{
    HINSTANCE instance = Instance();
    HGLOBAL data = LoadResource(instance, FindResourceW(instance, u"TINY_CHIME", u"WAVE"));
    ASSERT_TRUE(sndPlaySoundW(static_cast<LPCWSTR>(LockResource(data)),
                              SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
    ASSERT_EQ(RecordedSounds().size(), 1u);
    EXPECT_EQ(RecordedSounds()[0].name, u"TINY_CHIME");
    EXPECT_EQ(RecordedSounds()[0].bytes, 6u);
    EXPECT_FALSE(RecordedSounds()[0].audible) << "output is off in tests";
    EXPECT_EQ(hookCalls, 1u);
}

TEST_F(PlaySound, AcceptsAWaveFileInPlainMemoryWithoutAName)
{
    std::vector<BYTE> file = Tiny();
    ASSERT_TRUE(sndPlaySoundW(reinterpret_cast<LPCWSTR>(file.data()), SND_ASYNC | SND_MEMORY));
    ASSERT_EQ(RecordedSounds().size(), 1u);
    EXPECT_EQ(RecordedSounds()[0].name, u"");
}

TEST_F(PlaySound, RefusesMalformedDataAndRecordsNothing)
{
    HINSTANCE instance = Instance();
    HGLOBAL data = LoadResource(instance, FindResourceW(instance, u"NOT_A_WAVE", u"WAVE"));
    SetLastError(0);
    EXPECT_FALSE(sndPlaySoundW(static_cast<LPCWSTR>(LockResource(data)),
                               SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    std::vector<BYTE> file = Tiny();
    file[formatTag] = 3;
    EXPECT_FALSE(sndPlaySoundW(reinterpret_cast<LPCWSTR>(file.data()), SND_ASYNC | SND_MEMORY));
    EXPECT_TRUE(RecordedSounds().empty());
    EXPECT_EQ(hookCalls, 0u);
}

TEST_F(PlaySound, RefusesNamedSoundsAndLoopsWhichTheDeviceDoesNotHave)
{
    SetLastError(0);
    EXPECT_FALSE(sndPlaySoundW(u"SystemStart", SND_ASYNC | SND_NODEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    std::vector<BYTE> file = Tiny();
    EXPECT_FALSE(
        sndPlaySoundW(reinterpret_cast<LPCWSTR>(file.data()), SND_ASYNC | SND_MEMORY | SND_LOOP));
    EXPECT_TRUE(RecordedSounds().empty());
}

TEST_F(PlaySound, NullStopsTheSoundAndSucceeds)
{
    EXPECT_TRUE(sndPlaySoundW(nullptr, SND_ASYNC));
    EXPECT_FALSE(SoundPlaying());
    EXPECT_TRUE(RecordedSounds().empty());
}

namespace
{
WaveSound TinySound()
{
    WaveSound sound{};
    ParseWave(tinyWave, sizeof(tinyWave), &sound);
    return sound;
}

QAudioFormat Format(int rate, int channels, QAudioFormat::SampleFormat sampleFormat)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}
} // namespace

TEST(ConvertPcm, SpreadsOneChannelOverTwoAtSixTimesTheRate)
{
    QByteArray out = ConvertPcm(TinySound(), Format(48000, 2, QAudioFormat::Int16));
    ASSERT_EQ(out.size(), 6 * 6 * 2 * 2) << "six frames become 36, each of two 16-bit samples";
    auto at = [&](int frame, int channel) {
        int16_t v;
        std::memcpy(&v, out.constData() + (frame * 2 + channel) * 2, 2);
        return v;
    };
    EXPECT_EQ(at(0, 0), 0) << "128 is silence";
    EXPECT_EQ(at(6, 0), at(6, 1)) << "both channels carry the one";
    EXPECT_NEAR(at(6, 0), 32767 * 32 / 128, 2) << "sample 160 lands on frame 6";
    EXPECT_NEAR(at(3, 0), 32767 * 16 / 128, 2) << "half way from 128 to 160";
    EXPECT_LT(at(24, 0), 0) << "sample 90 is below silence";
}

TEST(ConvertPcm, WritesFloatsAndKeepsUnsignedBytesAtTheirRate)
{
    QByteArray floats = ConvertPcm(TinySound(), Format(8000, 1, QAudioFormat::Float));
    ASSERT_EQ(floats.size(), 6 * 4);
    float second;
    std::memcpy(&second, floats.constData() + 4, 4);
    EXPECT_FLOAT_EQ(second, 32.0f / 128.0f);
    QByteArray bytes = ConvertPcm(TinySound(), Format(8000, 1, QAudioFormat::UInt8));
    ASSERT_EQ(bytes.size(), 6);
    EXPECT_EQ(uint8_t(bytes[0]), 128);
    EXPECT_NEAR(uint8_t(bytes[2]), 200, 1);
}

TEST(ConvertPcm, GivesNothingForAFormatWithoutRateOrSampleSize)
{
    EXPECT_TRUE(ConvertPcm(TinySound(), Format(0, 2, QAudioFormat::Int16)).isEmpty());
    EXPECT_TRUE(ConvertPcm(TinySound(), Format(44100, 2, QAudioFormat::Unknown)).isEmpty());
    WaveSound empty = TinySound();
    empty.sampleBytes = 0;
    EXPECT_TRUE(ConvertPcm(empty, Format(44100, 2, QAudioFormat::Int16)).isEmpty());
}
