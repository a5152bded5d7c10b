#pragma once
// Small operations on absolute paths: folder and file tests, the final separator, creating a folder path.

#include <string>

namespace VYK_File_Dir {

bool DirExists(const std::string& path);
// Trims `path` in place; true when a file (not a folder) of that name or pattern exists, hidden ones included.
bool FileExists(std::string& path);
// The path with the folder separator at its end.
std::string sFixDirString(const std::string& path);
// Creates every missing folder of the path, from the root on; stops at the first folder it cannot create.
void CreateDirectoryStruct(std::string path);

}  // namespace VYK_File_Dir
