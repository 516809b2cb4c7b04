#pragma once
// The toolkit's own icon, carried by every window it shows.
#include <QIcon>

namespace platform {

// Drawn once per process; needs the application object.
const QIcon& ToolkitIcon();

}  // namespace platform
