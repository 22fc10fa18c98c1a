#pragma once
// The size of a SCADA page: the controller's display, 800 x 480 pixels.
namespace ostrel {

inline constexpr int kPageWidth = 800;
inline constexpr int kPageHeight = 480;

} // namespace ostrel
