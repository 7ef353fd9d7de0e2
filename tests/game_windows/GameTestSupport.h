#pragma once

#include "Engine.h"
#include "Form1.h"
#include "GameSeams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace brickvane::testing {

struct RecordingSounds : SoundSink {
    std::vector<std::string> played;
    void Play(const std::string& path) override { played.push_back(path); }
};

// Answers message boxes from a script (default: OK) and keeps what was asked.
class ScriptedMessages {
public:
    ScriptedMessages() {
        previous_ = seams::setMessageHandler([this](const seams::Message& m) {
            asked.push_back(m);
            if (answers.empty())
                return seams::Answer::Ok;
            const seams::Answer a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~ScriptedMessages() { seams::setMessageHandler(std::move(previous_)); }

    QList<seams::Message> asked;
    std::deque<seams::Answer> answers;

private:
    seams::MessageHandler previous_;
};

// Picks colours from a script; nothing stands for a cancelled dialog.
class ScriptedColours {
public:
    ScriptedColours() {
        previous_ = seams::setColourPicker([this](const QColor& initial, QWidget*) {
            initials.push_back(initial);
            std::optional<QColor> a;
            if (!answers.empty()) {
                a = answers.front();
                answers.pop_front();
            }
            return a;
        });
    }
    ~ScriptedColours() { seams::setColourPicker(std::move(previous_)); }

    QList<QColor> initials;
    std::deque<std::optional<QColor>> answers;

private:
    seams::ColourPicker previous_;
};

class RecordingEnd {
public:
    RecordingEnd() {
        previous_ = seams::setEndProgram([this] { ++calls; });
    }
    ~RecordingEnd() { seams::setEndProgram(std::move(previous_)); }
    int calls = 0;

private:
    seams::Action previous_;
};

// Runs `act` on the next modal dialog of type T once it is showing; the
// handler that opened it is still inside its exec() then.
template <typename T> class OnModal {
public:
    explicit OnModal(std::function<void(T&)> act) : act_(std::move(act)) {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QWidget*>(QApplication::activeModalWidget());
            if (auto* dialog = dynamic_cast<T*>(modal); dialog && dialog->isVisible()) {
                poll_.stop();
                fired = true;
                act_(*dialog);
            }
        });
        poll_.start();
    }
    bool fired = false;

private:
    std::function<void(T&)> act_;
    QTimer poll_;
};

// Every roll gives the first choice: shape 0 lying flat, white, no turn.
inline UniformSource FirstChoice() {
    return [] { return 0.0; };
}

// A shown, active game window with recording sounds and first-choice pieces.
struct GameWindow {
    Form1 form;
    RecordingSounds sounds;

    GameWindow() {
        form.SetSoundSink(&sounds);
        form.engine().SetRandomSource(FirstChoice());
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    Engine& engine() { return form.engine(); }
    // Presses a key in the game window, active again as a window manager
    // would make it once a dialog has closed.
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        if (QApplication::activeWindow() != &form)
            QApplication::setActiveWindow(&form);
        QTest::keyClick(&form, k, m);
    }
};

} // namespace brickvane::testing
