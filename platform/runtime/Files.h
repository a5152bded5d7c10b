#pragma once
// The run time's numbered files, its directory search and the few file-system statements the program uses.
// Files hold bytes as written; lines end with CR LF; reading accepts CR LF, LF or CR.

#include <initializer_list>
#include <string>

#include "platform/runtime/Error.h"
#include "platform/runtime/Variant.h"

namespace rt {

enum class OpenMode { Input, Output, Append };

// Attributes of the directory search (they add up).
enum FileAttribute : int { attrNormal = 0, attrReadOnly = 1, attrHidden = 2, attrSystem = 4, attrDirectory = 16 };

// The lowest file number not in use (1 to 255); 67 when every number is taken.
int FreeFile();
// Input: 53 when the file is missing, 76 when its folder is; Output empties or creates the file;
// Append creates it or adds at its end. 55 when the number is already open.
void Open(const std::string& path, OpenMode mode, int fileNumber);
// Closes the file (everything written reaches the disk, or 61/57 is raised).
void Close(int fileNumber);
// Closes every open file.
void Reset();
bool Eof(int fileNumber);
// The length of an open file in bytes.
long Lof(int fileNumber);

// One line without its end; 62 at the end of the file.
std::string LineInput(int fileNumber);
// One item of the list-input syntax: a text in double quotes, or the text up to the next comma or line end
// with blanks around it dropped; an empty line is an empty item. 62 at the end of the file.
std::string InputItem(int fileNumber);
// Up to n characters as they stand, line ends included; 62 at the end of the file.
std::string InputChars(int fileNumber, long n);

// Print #: the items one after the other; texts exactly, numbers with a blank (or the minus sign) before
// and a blank after; then CR LF.
void Print(int fileNumber, std::initializer_list<Variant> items);
// Put #: the bytes exactly as they are, nothing added.
void PutBytes(int fileNumber, const std::string& bytes);
// Write #: texts in double quotes, numbers plain, items separated by commas; then CR LF.
void WriteItems(int fileNumber, std::initializer_list<Variant> items);

// The name (without folder) of the first entry that matches `pattern` (wildcards * and ? in the last
// component) and the attributes, or "" when none does. Hidden entries are those whose name begins with ".".
std::string Dir(const std::string& pattern, int attributes = attrNormal);
// The length of a file in bytes; 53 when it is missing.
long FileLen(const std::string& path);
// Deletes a file; 53 when it is missing.
void Kill(const std::string& path);
// Makes the closed file `from` the file `to` in one step: its content is forced to the disk first, then it
// takes the place of `to`, and then the folder's new entry is forced to the disk. When this fails, `to` is
// as it was, `from` is removed and the system's error is raised: `otherwise` where the run time has no
// number of its own for it. `from` is to stand in the folder of `to` (a rename is one step only there),
// under a name no other writer of `to` uses. `to` is taken as it is: a symbolic link is replaced, not
// followed.
void ReplaceFile(const std::string& from, const std::string& to, long otherwise = errPathFileAccess);
// The file a name stands for: the name itself, or, when it is a symbolic link (as programs that keep a
// user's configuration files elsewhere make it), the file the link leads to, through every link on the
// way. A link to a file not there yet leads to where that file is to be. A file the user keeps is saved
// there, beside it, so that the link stays.
std::string LinkTarget(const std::string& path);
// Keeps a file the user keeps, as it was found, under a name of its own beside it
// ("<name>.damaged-<date>-<time>", with "-2", "-3", ... after it when that name is taken): `bytes` (what was
// read of it) when given, else the file itself, moved there. Returns that name; raises when the file could
// not be kept, and then nothing is changed.
std::string SetAside(const std::string& path, const std::string* bytes);
// The same with a copy of the file, byte for byte; the file stays.
std::string KeepCopyAside(const std::string& path);

// The folder separator of this platform.
inline constexpr char kPathSeparator = '/';

}  // namespace rt
