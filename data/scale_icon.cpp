// Build tool: writes the program's icon at one icon-theme size, scaled from the drawn icon
// nearest in size, so the installed icons need nothing beyond the sources and Qt.
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE.png SIZE TARGET.png\n", argv[0]);
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[2]);
    if (source.isNull() || size <= 0) {
        std::fprintf(stderr, "%s: cannot read %s or bad size %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    const QImage scaled = source.width() == size ? source
                                                 : source.scaled(size, size, Qt::KeepAspectRatio,
                                                                 Qt::SmoothTransformation);
    if (!scaled.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
