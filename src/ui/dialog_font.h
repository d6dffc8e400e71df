#pragma once

class QFont;
class QString;

namespace tessarin {

// The template's face at its size where it is installed, otherwise a Japanese UI face at the
// same size.
QFont DialogFont(const QString& face, int pointSize);

}  // namespace tessarin
