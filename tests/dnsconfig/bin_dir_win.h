// The folder of the running test program, where the test programs it starts
// are built too; ends with a backslash.
#pragma once
#include <windows.h>

#include <string>

inline std::string binDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}
