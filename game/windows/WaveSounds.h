#pragma once

#include "Engine.h"

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

namespace brickvane {

// True for a whole RIFF/WAVE file: a format chunk, then a data chunk that is
// not empty, neither running past the end of the file.
bool IsCompleteWave(const QString& file);

// Plays the game's wave files through Qt Multimedia, without waiting. Each
// file gets its player on first use, so start-up touches no audio device; a
// missing, unplayable or incomplete file plays nothing.
class WaveSounds : public QObject, public SoundSink {
public:
    explicit WaveSounds(QObject* parent = nullptr) : QObject(parent) {}
    void Play(const std::string& path) override;

private:
    QHash<QString, QSoundEffect*> effects_; // null: the file was missing
};

} // namespace brickvane
