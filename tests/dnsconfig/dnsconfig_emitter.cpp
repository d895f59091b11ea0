// Test program for the console runner. Carries out its arguments in order:
//   -o TEXT        write TEXT to standard output
//   -e TEXT        write TEXT to standard error
//   -z             write one zero byte to standard output
//   -p MS          pause MS milliseconds, writing nothing
//   -b BYTES [PIECE [MS]]
//                  write BYTES bytes of the numbered pattern, PIECE bytes per
//                  write (4096 by default), pausing MS between writes
//   -l             write the program's own command line
//   -i             read standard input to its end, then write "stdin:COUNT"
//   -x CODE        exit at once with CODE
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "emitter_pattern.h"

namespace {

void writeAll(DWORD which, const char* data, std::size_t size) {
    HANDLE h = GetStdHandle(which);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) return;
        data += written;
        size -= written;
    }
}

void writeText(DWORD which, const std::string& text) { writeAll(which, text.data(), text.size()); }

unsigned long number(const char* text) { return std::strtoul(text, nullptr, 10); }

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string op = argv[i];
        const bool hasValue = i + 1 < argc;
        if (op == "-o" && hasValue) {
            writeText(STD_OUTPUT_HANDLE, argv[++i]);
        } else if (op == "-e" && hasValue) {
            writeText(STD_ERROR_HANDLE, argv[++i]);
        } else if (op == "-z") {
            writeAll(STD_OUTPUT_HANDLE, "", 1);
        } else if (op == "-p" && hasValue) {
            Sleep(number(argv[++i]));
        } else if (op == "-b" && hasValue) {
            const std::string pattern = emitterPattern(number(argv[++i]));
            std::size_t piece = 4096;
            unsigned long pause = 0;
            if (i + 1 < argc && argv[i + 1][0] != '-') piece = number(argv[++i]);
            if (i + 1 < argc && argv[i + 1][0] != '-') pause = number(argv[++i]);
            if (piece == 0) piece = 4096;
            for (std::size_t at = 0; at < pattern.size(); at += piece) {
                if (at > 0 && pause > 0) Sleep(pause);
                const std::size_t n = pattern.size() - at < piece ? pattern.size() - at : piece;
                writeAll(STD_OUTPUT_HANDLE, pattern.data() + at, n);
            }
        } else if (op == "-l") {
            writeText(STD_OUTPUT_HANDLE, GetCommandLineA());
        } else if (op == "-i") {
            HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
            unsigned long total = 0;
            char buffer[256];
            DWORD got = 0;
            while (ReadFile(in, buffer, sizeof(buffer), &got, nullptr) && got > 0) total += got;
            writeText(STD_OUTPUT_HANDLE, "stdin:" + std::to_string(total));
        } else if (op == "-x" && hasValue) {
            ExitProcess(static_cast<UINT>(number(argv[++i])));
        } else {
            writeText(STD_ERROR_HANDLE, "dnsconfig_emitter: bad argument " + op + "\n");
            return 2;
        }
    }
    return 0;
}
