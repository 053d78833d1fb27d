// The image loader on one file of the image directory: its checks of file
// kind, file size and declared picture size, the decoder under them, and the
// quarantine of what it refuses. Tighter bounds than the program's keep each
// run small; a decoded picture must lie within them, and a refused file must
// be in the quarantine, never lost.

#include "FuzzInput.h"
#include "images/FrameCache.h"
#include "images/FrameLoader.h"

#include <QDir>
#include <QFileInfo>

namespace {
// The decoders' complaints about broken files are expected here, and printing
// them would cost more than the decoding.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString images = FuzzInput::scratch() + QStringLiteral("images/");
    static const QString bad = FuzzInput::scratch() + QStringLiteral("bad/");
    static const QString name = QStringLiteral("FUZZIMGS-12051000.GIF");
    static const QtMessageHandler previous = qInstallMessageHandler(quiet);
    (void)previous;
    QDir(bad).removeRecursively();
    QDir().mkpath(images);
    FuzzInput::write(QStringLiteral("images/") + name, FuzzInput::bytes(data, size));

    FrameRequest request;
    request.kind = FrameRequest::Kind::File;
    request.directory = images;
    request.name = name;
    request.quarantineDir = bad;
    request.limits.fileBytes = 256 * 1024;
    request.limits.picturePixels = 1024 * 1024;
    request.limits.setPixels = 1024 * 1024;
    FrameCache cache(8 * 1024 * 1024);
    const FrameSet set = FrameLoader::run(request, cache);

    switch (set.outcome) {
    case FrameSet::Outcome::Loaded: {
        const QImage& image = set.images.value(0);
        if (set.images.size() != 1 || image.isNull() ||
            qint64(image.width()) * image.height() > request.limits.picturePixels)
            __builtin_trap(); // a picture beyond the bound was held
        if (image.format() != QImage::Format_RGB32 &&
            image.format() != QImage::Format_ARGB32_Premultiplied)
            __builtin_trap(); // not in the form the window paints
        break;
    }
    case FrameSet::Outcome::BadImage:
        if (set.quarantined.isEmpty() || !QFileInfo::exists(set.quarantined) ||
            QFileInfo::exists(images + name))
            __builtin_trap(); // a refused file must be moved whole, not left or lost
        if (QFileInfo(set.quarantined).size() != qint64(size))
            __builtin_trap();
        break;
    case FrameSet::Outcome::NoImages:
    case FrameSet::Outcome::NotFound:
        __builtin_trap(); // the file is there: it is either shown or refused
    }
    return 0;
}
