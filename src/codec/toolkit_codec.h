#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "status.h"

class QIODevice;

namespace tessarin {

class RasterImage;
struct PngFacts;

// The bridge to QtGui's image codecs, for every file our own PNG codec does not take.

// Decodes bytes in any format the toolkit reads into image's stored format. png holds what the
// chunk scan found, for a PNG's colour key, which is applied here rather than by the decoder.
Status DecodeWithToolkit(const QByteArray& bytes, const PngFacts& png, const QString& name,
                         RasterImage& image);

// The picture as an encoder takes it: straight ARGB32 with alpha, otherwise opaque at a depth
// close to its own. Null when memory runs out.
QImage ToQImage(const RasterImage& image);

// The toolkit's name of the encoder for a file extension, matched without case; empty when
// there is none.
QByteArray EncoderFormat(const QString& extension);

// Encodes picture in format onto device; on failure error says why, when the encoder knows.
bool EncodeWithToolkit(QIODevice& device, const QByteArray& format, const QImage& picture,
                       QString& error);

}  // namespace tessarin
