// The WAVE resource "IDW_TIME_ADDED": its file format, its samples, and its playing.
#include "platform/mmsystem.h"
#include "platform/resources.h"
#include "platform/sound/sound_record.h"
#include "platform/sound/wave_file.h"
#include "resources/resource_ids.h"
#include "tests/resources_data/data_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{
const BYTE* Chime(DWORD* size)
{
    HRSRC found = FindResourceW(DataModule(), SOUND_TIME_ADDED, SOUND_TYPE);
    *size = SizeofResource(DataModule(), found);
    return static_cast<const BYTE*>(LockResource(LoadResource(DataModule(), found)));
}

uint32_t Le32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
} // namespace

TEST(TimeAddedSound, IsAPcmMonoFileOfEightBitsAtEightThousandSamples)
{
    DWORD size = 0;
    const BYTE* file = Chime(&size);
    ASSERT_NE(file, nullptr);
    WaveSound sound;
    ASSERT_TRUE(ParseWave(file, size, &sound));
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.sampleRate, 8000);
    EXPECT_EQ(sound.bitsPerSample, 8);
    EXPECT_EQ(sound.sampleBytes, 16046u);
}

TEST(TimeAddedSound, ItsRiffSizeCoversExactlyTheFile)
{
    DWORD size = 0;
    const BYTE* file = Chime(&size);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::memcmp(file, "RIFF", 4), 0);
    EXPECT_EQ(Le32(file + 4), size - 8);
    EXPECT_EQ(size, 44u + 16046u) << "a format chunk of 16 bytes, and nothing but the samples";
    EXPECT_EQ(std::memcmp(file + 36, "data", 4), 0);
    EXPECT_EQ(Le32(file + 40), 16046u);
}

TEST(TimeAddedSound, IsHeardAndFadesToSilenceWithoutClipping)
{
    DWORD size = 0;
    const BYTE* file = Chime(&size);
    WaveSound sound;
    ASSERT_TRUE(ParseWave(file, size, &sound));
    const BYTE* first = sound.samples;
    const BYTE* last = sound.samples + sound.sampleBytes;
    auto [low, high] = std::minmax_element(first, last);
    EXPECT_GT(*high - *low, 100) << "loud enough to hear";
    EXPECT_GT(*low, 0) << "never at the 8-bit floor";
    EXPECT_LT(*high, 255) << "never at the 8-bit ceiling";
    EXPECT_EQ(*first, 128) << "starts from silence: no click";
    for (const BYTE* p = last - 40; p < last; ++p)
        EXPECT_NEAR(*p, 128, 1) << "ends in silence";
}

TEST(TimeAddedSound, PlaysByItsNameAsTheProgramAsksForIt)
{
    SetAudioOutputEnabled(false);
    RecordedSounds().clear();
    DWORD size = 0;
    const BYTE* file = Chime(&size);
    ASSERT_TRUE(
        sndPlaySoundW(reinterpret_cast<LPCWSTR>(file), SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
    ASSERT_EQ(RecordedSounds().size(), 1u);
    EXPECT_EQ(RecordedSounds()[0].name, u"IDW_TIME_ADDED");
    EXPECT_EQ(RecordedSounds()[0].bytes, 16046u);
}
