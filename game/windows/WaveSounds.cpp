#include "WaveSounds.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

namespace brickvane {

bool IsCompleteWave(const QString& file) {
    QFile wave(file);
    if (!wave.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = wave.size();
    const QByteArray riff = wave.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8) != "WAVE")
        return false;
    bool format = false;
    for (qint64 at = 12; at + 8 <= size;) {
        if (!wave.seek(at))
            return false;
        const QByteArray head = wave.read(8);
        if (head.size() < 8)
            return false;
        const quint32 length = qFromLittleEndian<quint32>(head.constData() + 4);
        const qint64 end = at + 8 + qint64(length);
        if (end > size)
            return false;
        if (head.startsWith("fmt "))
            format = length >= 16;
        else if (head.startsWith("data"))
            return format && length > 0;
        at = end + (length & 1); // chunks are padded to an even length
    }
    return false;
}

void WaveSounds::Play(const std::string& path) {
    const QString file = QString::fromStdString(path);
    auto found = effects_.find(file);
    if (found == effects_.end()) {
        QSoundEffect* effect = nullptr;
        // The sound library's loader never finishes an incomplete file, and the
        // program would wait for it at exit: such a file counts as missing.
        if (IsCompleteWave(file)) {
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
