#pragma once
// The toolkit's own icon, carried by every window it shows.
#include <QIcon>
#include <QImage>

namespace platform {

// The icon at one size, square; needs no application object (the desktop's icon files are
// drawn from it at build time).
QImage DrawToolkitIcon(int size);

// Drawn once per process; needs the application object.
const QIcon& ToolkitIcon();

}  // namespace platform
