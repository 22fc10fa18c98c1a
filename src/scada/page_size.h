#pragma once
// The size of a SCADA page and of the controller's display, in pixels.
namespace ostrel {

inline constexpr int kPageWidth = 800;
inline constexpr int kPageHeight = 480;

} // namespace ostrel
