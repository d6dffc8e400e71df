#pragma once

#include <QByteArray>
#include <QString>

#include <string>

#include "status.h"

namespace tessarin {

class RasterImage;
struct PngFacts;

// The bridge to QtGui's image codecs, for every file our own codecs do not take. It is built as
// a module of its own and loaded the first time a file needs it: most runs read and write only
// the PNG files our codec takes, and loading QtGui with everything it pulls in would double the
// start-up of a short run.
struct ToolkitCodec {
  // Decodes bytes in any format the toolkit reads into image's stored format. png holds what
  // the chunk scan found, for a PNG's colour key, which is applied here rather than by the
  // decoder.
  Status (*decode)(const QByteArray& bytes, const PngFacts& png, const QString& name,
                   RasterImage& image);
  // The toolkit's name of the encoder for a file extension, matched without case; empty when
  // there is none.
  QByteArray (*encoderFormat)(const QString& extension);
  // The picture encoded in format, as a whole file. On failure the message says why, without
  // naming the file, and running out of memory is told apart.
  Status (*encode)(const RasterImage& image, const QByteArray& format, QByteArray& file);
};

// The module's one exported function, by this name.
inline constexpr char kToolkitCodecEntry[] = "tessarin_toolkit_codec";
using ToolkitCodecEntry = const ToolkitCodec* (*)();

// The loaded bridge, or null with why, as a clause for a message about the file that needed
// it. Loaded once, on first use, from
// beside the program or from where the program is installed to find it.
const ToolkitCodec* LoadedToolkitCodec(std::string& why);

}  // namespace tessarin
