// Build tool: decodes the splash artwork once, so that the program shows it
// without loading an image decoder on the way to its first window.
// Usage: splash_pixels <image> <output>
// The output: width and height, then one 0xffRRGGBB number per pixel, row by
// row, every number 32 bits little-endian.

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: splash_pixels <image> <output>\n");
        return 2;
    }
    const QImage image =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "splash_pixels: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<quint32> numbers{quint32(image.width()), quint32(image.height())};
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        numbers.insert(numbers.end(), row, row + image.width());
    }
    qToLittleEndian<quint32>(numbers.data(), qsizetype(numbers.size()), numbers.data());
    QFile out(QString::fromLocal8Bit(argv[2]));
    const auto bytes = qint64(numbers.size() * sizeof(quint32));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(numbers.data()), bytes) != bytes) {
        std::fprintf(stderr, "splash_pixels: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
