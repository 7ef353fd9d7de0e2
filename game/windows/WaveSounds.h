#pragma once

#include "Engine.h"

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

namespace brickvane {

// Plays the game's wave files through Qt Multimedia, without waiting. Each
// file gets its player on first use, so start-up touches no audio device; a
// missing or unplayable file plays nothing.
class WaveSounds : public QObject, public SoundSink {
public:
    explicit WaveSounds(QObject* parent = nullptr) : QObject(parent) {}
    void Play(const std::string& path) override;

private:
    QHash<QString, QSoundEffect*> effects_; // null: the file was missing
};

} // namespace brickvane
