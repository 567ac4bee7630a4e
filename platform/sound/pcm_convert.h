// Turning a WAVE file's samples into the format an audio device takes. Not for the program.
#pragma once

#include "platform/sound/wave_file.h"

#include <QAudioFormat>
#include <QByteArray>

// The sound's samples at the rate, channel count and sample format of `to`: resampled linearly,
// one channel spread over several or the first channels kept, written as unsigned 8-bit, signed
// 16- or 32-bit or float samples. Empty for a format without a rate or with no room for a frame.
QByteArray ConvertPcm(const WaveSound& sound, const QAudioFormat& to);
