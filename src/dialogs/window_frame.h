#pragma once

// The frame around a window's client area that a stored or designed outer size includes: the
// outer size is the widget's size plus these.
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 27;
