#pragma once

#include "Engine.h"

#include <QColor>

class QWidget;

namespace brickvane {

// What the settings window, the about box and the game-over dialog need of
// the game they work on; the game window provides it.
class GameHost {
public:
    virtual ~GameHost() = default;

    // The window the dialogs belong to.
    virtual QWidget* HostWindow() = 0;
    virtual Engine& engine() = 0;
    // Null plays nothing.
    virtual SoundSink* Sounds() const = 0;
    virtual bool NewGame() = 0;
    virtual void ResumeGame() = 0;
    virtual void StopTimer() = 0;
    virtual QColor BoardBackColor() const = 0;
    virtual void SetBoardBackColor(const QColor& colour) = 0;
};

} // namespace brickvane
