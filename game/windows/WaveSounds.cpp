#include "WaveSounds.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace brickvane {

void WaveSounds::Play(const std::string& path) {
    const QString file = QString::fromStdString(path);
    auto found = effects_.find(file);
    if (found == effects_.end()) {
        QSoundEffect* effect = nullptr;
        if (QFileInfo(file).isFile()) {
            effect = new QSoundEffect(this);
            effect->setSource(QUrl::fromLocalFile(file));
        }
        found = effects_.insert(file, effect);
    }
    // A file still loading plays once it is ready; one that failed stays silent.
    if (*found)
        (*found)->play();
}

} // namespace brickvane
