#pragma once
// The executable builder: binds the video highlighted on the Player page and the player's
// switches into a self-playing program through the binder.
#include <string>

class QWidget;

namespace frontend {

class FrontEnd;

// Shows the builder modally, owned by `owner`, on the video (a full path) with the player's
// switches; returns when it has been closed.
void OpenExecutableBuilder(FrontEnd& frontEnd, const std::string& videoFile, const std::string& playerSwitches,
                           QWidget* owner);

}  // namespace frontend
