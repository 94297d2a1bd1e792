// Card-set sounds: "WAVE" resources of the card-set library, parsed in memory
// and played asynchronously. A new sound stops the one still playing; no audio
// device, a missing or unreadable sound, or sound switched off mean silence.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace trisk {

class TResourceModule;

// The samples of a RIFF WAVE file and how to play them.
struct TWaveSound {
    int SampleRate = 0;
    int Channels = 0;
    int BitsPerSample = 0;  // 8 (unsigned), 16 or 32 (signed)
    QByteArray Samples;     // whole frames only
};

// Reads the "fmt " and "data" chunks of an in-memory WAVE file. Only PCM is
// taken; nothing when a chunk is missing, malformed or reaches past the end.
std::optional<TWaveSound> ParseWave(const QByteArray& bytes);

// The card set's sounds as the window plays them: by name, from the
// card-set library it was given.
class TCardSetSound {
  public:
    virtual ~TCardSetSound() = default;
    // The library whose "WAVE" resources are played; nothing plays without one.
    virtual void SetLibrary(const TResourceModule* library) = 0;
    virtual void PlayCardSetSound(const QString& name, bool enabled) = 0;
    virtual void Stop() = 0;
};

// The sound device of the machine, through Qt Multimedia.
class TSoundPlayer : public QObject, public TCardSetSound {
    Q_OBJECT
  public:
    explicit TSoundPlayer(const TResourceModule* library = nullptr, QObject* parent = nullptr);
    ~TSoundPlayer() override;

    void SetLibrary(const TResourceModule* library) override;
    void PlayCardSetSound(const QString& name, bool enabled) override;
    void Stop() override;
    // The name of the sound being played, empty when silent.
    QString Playing() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace trisk
