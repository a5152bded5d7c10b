#pragma once
// Two general routines: reducing a downloaded page to its text runs, and a pause that keeps the user
// interface alive.

#include <string>

namespace VYK_Library {

// Reads the file inFile of the program's download folder and writes outFile there (created or replaced):
// one line per run of text that ends at a tag. Inside a run a line feed becomes a blank and a carriage
// return stays; "&amp;" becomes "&" and "&nbsp;" goes, again and again until neither is left; a run that
// then is empty gives no line, and one that begins with "Copyright" gives just that word. Text after the
// last tag, and everything after a "<" that is never closed, is dropped. Failures go to the error log. No
// events run while it works, also not while it waits for a file another program holds.
void StripPage(const std::string& inFile, const std::string& outFile);

// Pumps events until `seconds` seconds have passed on the clock that counts on across midnight, then pumps
// once more; 0 or less pumps once.
void Wait(int seconds);

}  // namespace VYK_Library
