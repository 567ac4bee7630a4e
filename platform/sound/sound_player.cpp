// sndPlaySoundW: a WAVE file from memory, played on the audio device with Qt Multimedia.
#include "platform/mmsystem.h"
#include "platform/resources/resource_lookup.h"
#include "platform/sound/pcm_convert.h"
#include "platform/sound/sound_record.h"
#include "platform/sound/wave_file.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMessageLogContext>
#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
// Memory that is not loaded resource data can only be measured by its RIFF header; beyond this
// the header is taken for damaged rather than followed.
const size_t largestUnknownFile = size_t(16) << 20;
const size_t riffHeaderBytes = 12;

struct Player {
    std::unique_ptr<QAudioSink> sink;
    std::unique_ptr<QBuffer> buffer;
    QByteArray pcm;
    std::vector<PlayedSound> played;
    SOUNDHOOK hook = nullptr;
    bool outputEnabled = true;
};

// Never freed: the sink must not outlive the application in a static destructor. The
// application stops it on its way out instead (qAddPostRoutine).
Player& P()
{
    static Player* player = new Player;
    return *player;
}

// The audio backend tells standard error when it finds no sound server (at the first look for a
// device, on a machine without one) and when it cannot play a sound. Neither is the user's
// concern: the sound is then skipped, as the handheld skips it with its speaker off. Its errors,
// and everything the rest of the toolkit says, go on to the handler before.
QtMessageHandler& HandlerBefore()
{
    static QtMessageHandler before = nullptr;
    return before;
}

bool FromAudioBackend(const QMessageLogContext& context, const QString& text)
{
    const char* category = context.category ? context.category : "";
    return std::strncmp(category, "qt.multimedia", 13) == 0 ||
           std::strncmp(category, "qt.audio", 8) == 0 ||
           text.startsWith(QLatin1String("PulseAudioService:")) ||
           text.startsWith(QLatin1String("QAudioSink")) ||
           text.startsWith(QLatin1String("QAudioOutput"));
}

void DropAudioBackendNotices(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    bool notice = type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg;
    if (notice && FromAudioBackend(context, text))
        return;
    // qInstallMessageHandler hands back the toolkit's default handler when none was set.
    if (QtMessageHandler before = HandlerBefore())
        before(type, context, text);
}

// Once, before the first call into the audio backend. The handler stays for the program's
// life: the backend's own threads may speak up later.
void QuietAudioBackend()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    HandlerBefore() = qInstallMessageHandler(DropAudioBackendNotices);
}

void Stop()
{
    Player& p = P();
    if (p.sink) {
        p.sink->disconnect();
        p.sink->stop();
    }
    p.sink.reset();
    p.buffer.reset();
    p.pcm.clear();
}

// Starts the sound on the default output; false where there is no device to take it.
bool StartOutput(const WaveSound& sound)
{
    Player& p = P();
    if (!p.outputEnabled || !QCoreApplication::instance())
        return false;
    QuietAudioBackend();
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(sound.sampleRate);
    format.setChannelCount(sound.channels);
    format.setSampleFormat(sound.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    if (device.isFormatSupported(format)) {
        p.pcm =
            QByteArray(reinterpret_cast<const char*>(sound.samples), qsizetype(sound.sampleBytes));
    } else {
        format = device.preferredFormat();
        if (!format.isValid() || format.sampleRate() <= 0)
            return false;
        p.pcm = ConvertPcm(sound, format);
        if (p.pcm.isEmpty())
            return false;
    }
    static bool stopsWithApplication = false;
    if (!stopsWithApplication) {
        qAddPostRoutine(Stop);
        stopsWithApplication = true;
    }
    p.buffer = std::make_unique<QBuffer>(&p.pcm);
    p.buffer->open(QIODevice::ReadOnly);
    p.sink = std::make_unique<QAudioSink>(device, format);
    QObject::connect(p.sink.get(), &QAudioSink::stateChanged, [](QAudio::State state) {
        // The end of the samples: the sink is let go once the loop is back, not from inside
        // its own signal.
        if (state == QAudio::IdleState && P().sink)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { Stop(); }, Qt::QueuedConnection);
    });
    p.sink->start(p.buffer.get());
    if (p.sink->error() != QAudio::NoError) {
        Stop();
        return false;
    }
    return true;
}
} // namespace

void SetSoundHook(SOUNDHOOK hook)
{
    P().hook = hook;
}

std::vector<PlayedSound>& RecordedSounds()
{
    return P().played;
}

void SetAudioOutputEnabled(bool enabled)
{
    P().outputEnabled = enabled;
    if (!enabled)
        Stop();
}

bool SoundPlaying()
{
    return P().sink && P().sink->state() == QAudio::ActiveState;
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags)
{
    if (!sound) {
        Stop();
        return TRUE;
    }
    if (!(flags & SND_MEMORY)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (flags & SND_LOOP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((flags & SND_NOSTOP) && SoundPlaying())
        return FALSE;

    // Loaded resource data is read no further than the resource; other memory as far as its
    // header says.
    std::u16string name;
    size_t available = 0;
    if (!LoadedResourceAt(sound, &name, &available)) {
        const auto* header = reinterpret_cast<const BYTE*>(sound);
        available = riffHeaderBytes;
        if (std::memcmp(header, "RIFF", 4) == 0) {
            size_t announced =
                size_t(header[4] | header[5] << 8 | header[6] << 16) | size_t(header[7]) << 24;
            available = std::min(announced + 8, largestUnknownFile);
        }
    }
    WaveSound wave;
    if (!ParseWave(sound, available, &wave)) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    Stop();
    PlayedSound played{name, wave.sampleBytes, StartOutput(wave)};
    P().played.push_back(played);
    if (P().hook)
        P().hook(played);
    return TRUE;
}
