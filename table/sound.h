// Card-set sounds: "WAVE" resources of the card-set library, parsed in memory
// and played asynchronously. A new sound stops the one still playing; no audio
// device, a missing or unreadable sound, or sound switched off mean silence.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace trisk {

class TResourceModule;

class TSoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit TSoundPlayer(const TResourceModule* library, QObject* parent = nullptr);
    ~TSoundPlayer() override;

    void PlayCardSetSound(const QString& name, bool enabled);
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace trisk
