#pragma once

class QIcon;

namespace tessarin {

// The application icon in every size the resources hold.
QIcon AppIcon();

}  // namespace tessarin
