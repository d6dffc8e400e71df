#pragma once

#include <cstddef>
#include <filesystem>

#include "durability.h"
#include "raster_image.h"
#include "status.h"

namespace tessarin {

// The toolkit under the codecs takes the first thread that uses it for the program's main
// thread, and corrupts memory once that thread has ended. Whoever hands loads or saves to the
// shared pool's threads calls this first, on its own long-lived thread; calls after the first
// cost nothing.
void PrepareCodecsForThreads();

// Decodes a file in any format we or the toolkit read into image's stored format. On failure
// the image is left empty and the message names the file and says what is wrong. Only the kept
// corner of the picture stays in the image; the file is checked as a whole all the same.
Status ReadImageFile(const std::filesystem::path& path, RasterImage& image, KeptCorner keep = {});
Status DecodeImageBytes(const void* data, std::size_t size, RasterImage& image,
                        KeptCorner keep = {});

// Encodes by the path's extension, atomically: an existing file is replaced only once the new
// one has been written completely.
Status WriteImageFile(const RasterImage& image, const std::filesystem::path& path,
                      Durability durability = Durability::EachFile);

}  // namespace tessarin
