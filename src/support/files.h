// File and path helpers for the scratch report file and the lines cut from
// it. Windows only.
#pragma once
#include <string>

// The text without its leading and trailing space characters; spaces inside
// stay. Read up to its first zero byte.
std::string removeBlanks(const std::string& text);

// True when path (code page 936; wildcards allowed, the first match decides)
// names an existing file that is not a directory.
bool fileExists(const std::string& path);

// Deletes the file at path; a failure goes unnoticed.
void deleteFile(const std::string& path);
