#pragma once

#include <QSize>

class QWidget;

// A designed or stored window size is an outer size: it includes the frame that the window manager
// draws. That frame is known only once the window has been shown and framed, so the outer size is
// applied first with this estimate of the frame and again with the real frame when it is known.
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 27;

// Gives `window` the outer size `outer` and, unless `minimum` is empty, the smallest outer size
// `minimum`: now with the estimated frame, and again with the real one once the window manager
// has framed the shown window. Sizes are kept within what a window can hold.
void SetOuterSize(QWidget& window, QSize outer, QSize minimum = QSize());

// The window's outer size: its frame's once the window manager has framed it, else its size with
// the estimated frame.
QSize OuterSize(const QWidget& window);
