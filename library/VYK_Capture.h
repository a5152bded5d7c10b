#pragma once
// A picture of the whole screen, taken through the clipboard and saved as a BMP file.

#include <string>

namespace VYK_Capture {

// True when the picture was saved.
bool Capture_Desktop(std::string path);

}  // namespace VYK_Capture
