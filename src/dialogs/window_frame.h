#pragma once

#include <QSize>
#include <Qt>

class QWidget;

// The frame of a modal dialog and of a message box: fixed in size, a title bar with only the
// close box (no system menu, no minimise or maximise box).
inline constexpr Qt::WindowFlags kDialogFrame = Qt::Dialog | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                                Qt::MSWindowsFixedSizeDialogHint;

// The frame of the main window: sizeable, a title bar with the system menu, the minimise box and
// the close box, and no maximise box.
inline constexpr Qt::WindowFlags kMainWindowFrame =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

// Places `window` at the centre of its screen's available area, frame included, each time it is
// shown, instead of where the toolkit would put it (over its parent, for a dialog).
void CentreOnScreenWhenShown(QWidget& window);

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
