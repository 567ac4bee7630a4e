// The sounds the program played, for the device's `sound` event and for tests. Not for the
// program.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PlayedSound {
    // The name of the resource the sound was loaded from (L"IDW_TIME_ADDED"), or empty when the
    // memory was not a loaded resource.
    std::u16string name;
    // The bytes of samples in the file's data chunk.
    size_t bytes;
    // True when it went to an audio device; false where there is none or output is turned off.
    bool audible;
};

// Called for every sound accepted by sndPlaySoundW, after it started.
typedef void (*SOUNDHOOK)(const PlayedSound& sound);
void SetSoundHook(SOUNDHOOK hook);

std::vector<PlayedSound>& RecordedSounds();

// Turns the audio output on (the default) or off; with it off sounds are still accepted and
// recorded, but nothing is heard. Tests and the scripted user turn it off.
void SetAudioOutputEnabled(bool enabled);
// True while a sound plays on the audio device.
bool SoundPlaying();
