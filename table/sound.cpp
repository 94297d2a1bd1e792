#include "sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>

#include <cstdio>

#include "resource_module.h"

namespace trisk {
namespace {

// Little-endian reads; a read past the end gives 0 (callers check sizes first).
uint32_t Read16(const QByteArray& bytes, qint64 at) {
    if (at < 0 || at + 2 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return p[0] | (p[1] << 8);
}

uint32_t Read32(const QByteArray& bytes, qint64 at) {
    if (at < 0 || at + 4 > bytes.size()) return 0;
    return Read16(bytes, at) | (Read16(bytes, at + 2) << 16);
}

// Time the sound server gets beyond its buffer's length to play it out.
constexpr int kReleaseMarginMs = 100;
constexpr qint64 kMinimumStreamUs = 400000;

QtMessageHandler previousHandler = nullptr;

// Passes every message on except the sound server's complaint that it is
// not running, which is what "no audio device" looks like on Linux.
void QuietAboutMissingSoundServer(QtMsgType type, const QMessageLogContext& context,
                                  const QString& text) {
    if (text.startsWith(QLatin1String("PulseAudioService:"))) return;
    if (previousHandler != nullptr) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

// The default output, or a null device. The first look connects to the sound
// server; where there is none Qt would warn once, and a machine without sound
// is no fault of the player's, so that warning is held back.
QAudioDevice DefaultOutput() {
    static bool asked = false;
    if (asked) return QMediaDevices::defaultAudioOutput();
    asked = true;
    previousHandler = qInstallMessageHandler(QuietAboutMissingSoundServer);
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
    return device;
}

}  // namespace

std::optional<TWaveSound> ParseWave(const QByteArray& bytes) {
    const qint64 size = bytes.size();
    if (size < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return std::nullopt;
    // The RIFF size may claim less than the buffer holds (trailing bytes are
    // ignored) but never more.
    const qint64 riffEnd = qint64(Read32(bytes, 4)) + 8;
    if (riffEnd > size) return std::nullopt;

    TWaveSound sound;
    bool haveFormat = false;
    qint64 at = 12;
    while (at + 8 <= riffEnd) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 length = Read32(bytes, at + 4);
        const qint64 body = at + 8;
        if (length > riffEnd - body) return std::nullopt;
        if (id == "fmt ") {
            if (length < 16) return std::nullopt;
            const uint32_t formatTag = Read16(bytes, body);
            sound.Channels = int(Read16(bytes, body + 2));
            sound.SampleRate = int(Read32(bytes, body + 4));
            const uint32_t blockAlign = Read16(bytes, body + 12);
            sound.BitsPerSample = int(Read16(bytes, body + 14));
            if (formatTag != 1) return std::nullopt;  // PCM only
            if (sound.Channels < 1 || sound.Channels > 8) return std::nullopt;
            if (sound.SampleRate < 1000 || sound.SampleRate > 192000) return std::nullopt;
            if (sound.BitsPerSample != 8 && sound.BitsPerSample != 16 &&
                sound.BitsPerSample != 32) {
                return std::nullopt;
            }
            if (blockAlign != uint32_t(sound.Channels * sound.BitsPerSample / 8)) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return std::nullopt;
            const qint64 frame = sound.Channels * sound.BitsPerSample / 8;
            // A partial last frame is dropped rather than played as noise.
            sound.Samples = bytes.mid(body, length - length % frame);
            return sound;
        }
        at = body + length + (length & 1);  // chunks are padded to even sizes
    }
    return std::nullopt;
}

struct TSoundPlayer::Impl {
    const TResourceModule* Library = nullptr;
    QAudioSink* Sink = nullptr;
    QBuffer* Buffer = nullptr;
    QString Playing;
};

TSoundPlayer::TSoundPlayer(const TResourceModule* library, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->Library = library;
}

TSoundPlayer::~TSoundPlayer() {
    Stop();
}

void TSoundPlayer::SetLibrary(const TResourceModule* library) {
    Stop();
    impl_->Library = library;
}

void TSoundPlayer::PlayCardSetSound(const QString& name, bool enabled) {
    if (!enabled || impl_->Library == nullptr) return;
    const std::optional<QByteArray> data = impl_->Library->Resource(QStringLiteral("WAVE"), name);
    if (!data) return;
    std::optional<TWaveSound> wave = ParseWave(*data);
    if (!wave || wave->Samples.isEmpty()) return;

    // Without an output device there is nothing to play on; stay quiet.
    const QAudioDevice device = DefaultOutput();
    if (device.isNull()) return;
    QAudioFormat format;
    format.setSampleRate(wave->SampleRate);
    format.setChannelCount(wave->Channels);
    format.setSampleFormat(wave->BitsPerSample == 8    ? QAudioFormat::UInt8
                           : wave->BitsPerSample == 16 ? QAudioFormat::Int16
                                                       : QAudioFormat::Int32);
    if (!device.isFormatSupported(format)) return;

    Stop();
    // The sound server starts a stream only once its buffer is full. A
    // sound shorter than that buffer would never start, so short sounds are
    // followed by silence up to a length that fills it.
    QByteArray samples = wave->Samples;
    const qsizetype minimum = qsizetype(format.bytesForDuration(kMinimumStreamUs));
    if (samples.size() < minimum) {
        const char silence = wave->BitsPerSample == 8 ? char(0x80) : char(0);
        samples.append(minimum - samples.size(), silence);
    }
    impl_->Buffer = new QBuffer(this);
    impl_->Buffer->setData(samples);
    impl_->Buffer->open(QIODevice::ReadOnly);
    QAudioSink* sink = new QAudioSink(device, format, this);
    impl_->Sink = sink;
    impl_->Playing = name;
    // The sink goes idle once it has handed the last data to the sound
    // server, whose buffer still holds up to bufferSize() bytes to play.
    // Stopping at once would cut that tail off, so the sink is released when
    // the buffer has had time to play out; a failed output is released at once.
    connect(sink, &QAudioSink::stateChanged, this, [this, sink, format](QAudio::State state) {
        if (impl_->Sink != sink) return;
        if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
            Stop();
        } else if (state == QAudio::IdleState) {
            const qint64 tailMs = format.durationForBytes(sink->bufferSize()) / 1000;
            QTimer::singleShot(int(tailMs) + kReleaseMarginMs, sink, [this, sink] {
                if (impl_->Sink == sink && sink->state() == QAudio::IdleState) Stop();
            });
        }
    });
    sink->start(impl_->Buffer);
}

void TSoundPlayer::Stop() {
    QAudioSink* sink = impl_->Sink;
    QBuffer* buffer = impl_->Buffer;
    impl_->Sink = nullptr;
    impl_->Buffer = nullptr;
    impl_->Playing.clear();
    if (sink != nullptr) {
        sink->disconnect(this);
        sink->stop();
        // Stop may run from the sink's own signal: delete it later.
        sink->deleteLater();
    }
    if (buffer != nullptr) buffer->deleteLater();
}

QString TSoundPlayer::Playing() const {
    return impl_->Playing;
}

}  // namespace trisk
