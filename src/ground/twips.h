#pragma once

// Twips, the unit that the windows and the pictures are designed in: 1440 to the inch, and so 15
// to a pixel at 96 dots per inch, the screen the design was drawn for.

namespace corvane {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

} // namespace corvane
