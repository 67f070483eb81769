// pemblar-icons DIR SIZE...: writes the program icon as DIR/NxN/apps/pemblar.png for each size N,
// the desktop's hicolor theme layout. Each size is one of the icon's own 16-colour images enlarged
// by a whole factor, pixel for pixel, so every size is as crisp as the design: the largest image
// whose size divides N (48 is the 16 x 16 image three times, 256 the 32 x 32 image eight times).
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "platform/user/icons.h"
#include "res/resources.h"

namespace {

// The largest image of the icon that fills size x size by a whole factor; null if none does.
const ICONIMAGE_RESOURCE* SourceFor(int size) {
    const ICONIMAGE_RESOURCE* best = nullptr;
    for (int i = 0; i < kMainFrameIcon.imageCount; ++i) {
        const ICONIMAGE_RESOURCE& image = kMainFrameIcon.images[i];
        if (image.width != image.height || size % image.width != 0) continue;
        if (best == nullptr || image.width > best->width) best = &image;
    }
    return best;
}

bool WriteSize(const QString& root, int size) {
    const ICONIMAGE_RESOURCE* source = SourceFor(size);
    if (source == nullptr) {
        std::fprintf(stderr, "pemblar-icons: no image of the icon fills %dx%d\n", size, size);
        return false;
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    const QString path = folder + QStringLiteral("/pemblar.png");
    const QImage image = platform_user::IconImage(*source).scaled(size, size, Qt::IgnoreAspectRatio,
                                                                  Qt::FastTransformation);
    if (!QDir().mkpath(folder) || !image.save(path, "PNG")) {
        std::fprintf(stderr, "pemblar-icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("Usage: pemblar-icons DIR SIZE...\n", stderr);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || !WriteSize(root, size)) return 1;
    }
    return 0;
}
