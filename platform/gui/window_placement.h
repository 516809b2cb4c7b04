#pragma once
// Where the toolkit's windows open on a desktop: centred on what they belong to and wholly
// inside the screen's available area (the part panels and docks leave free), with the
// toolkit's icon.
#include <QRect>

class QFontMetrics;
class QWidget;

namespace platform {

// The frame of a window of `frameSize` centred on `over`, then moved as little as it takes to
// lie inside `available`; a window larger than the area keeps its top-left corner in it.
QRect CentredFrame(const QRect& over, const QSize& frameSize, const QRect& available);

// The frame moved as little as it takes to lie inside `available` (same rule as above).
QRect FrameInside(const QRect& frame, const QRect& available);

// A size first given in pixels of the 8-point font the windows were designed with, grown or
// shrunk with the font's average letter width and its line height.
QSize ScaledForFont(const QSize& designed, const QFontMetrics& metrics);

// The available area of the screen that shows the widget (the primary screen when it is not
// on one yet).
QRect AvailableArea(const QWidget* widget);

enum class Centre { kOnOwner, kOnScreen };

// Gives the top-level window the toolkit's icon and, each time it is about to be shown, a
// place centred on its owner (the window of its parent widget then; the screen when it has
// none) or on the screen, inside the screen's available area. The place is taken once the
// window's layout has sized it.
void OpenCentred(QWidget& window, Centre centre = Centre::kOnOwner);

}  // namespace platform
