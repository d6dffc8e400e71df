#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace tessarin {

// A name as messages quote it.
std::string Quoted(const QString& text);

// Whether a picture of these sides exceeds the memory one image may take.
bool ExceedsPixelLimit(std::int64_t width, std::int64_t height);

// Why a picture of these sides is not loaded, naming it.
std::string SizeRefusal(const QString& name, std::int64_t width, std::int64_t height);

}  // namespace tessarin
