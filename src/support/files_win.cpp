#include <windows.h>
#include <shlwapi.h>

#include "support/codepage.h"
#include "support/files.h"

std::string removeBlanks(const std::string& text) {
    std::string buf(text);
    buf.push_back('\0');
    PathRemoveBlanksA(&buf[0]);
    return std::string(buf.c_str());
}

bool fileExists(const std::string& path) {
    const ByteBuffer name = textToUtf16(path, false);
    WIN32_FIND_DATAW found;
    ZeroMemory(&found, sizeof found);
    HANDLE h = FindFirstFileW(name.empty() ? nullptr : reinterpret_cast<LPCWSTR>(name.data()), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void deleteFile(const std::string& path) { DeleteFileA(path.c_str()); }
