#pragma once
// Puts the full console and the front end's own windows in place of the basic console and the
// dialog service's stand-ins: the prompt, the pick list, the attribute window, the finder, the
// text and list editors, the batch runner and the picture viewer.
namespace frontend {

class FrontEnd;

void InstallConsoleWindows(FrontEnd& frontEnd);

}  // namespace frontend
