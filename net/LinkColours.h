#pragma once
// The colours of the network windows: a light blue ground with dark blue
// frames and white text on them.

#include "platform/vcl/Graphics.h"

constexpr TColor LinkLightBlue = static_cast<TColor>(0xD9A00D); // red 13, green 160, blue 217
constexpr TColor LinkDarkBlue = static_cast<TColor>(0x9C6914);  // red 20, green 105, blue 156
