#include <windows.h>

#include <algorithm>

#include "dnsconfig/runner.h"
#include "dnsconfig/runner_pipes_win.h"
#include "support/codepage.h"

namespace {

// Longest pause between two looks at a quiet pipe. The pause starts at 1 ms
// after each chunk and doubles while nothing arrives, so a busy child is read
// promptly and a quiet one costs a few wake-ups a second. The wait is on the
// process handle, so the child's end cuts it short.
constexpr DWORD kLongestPauseMs = 16;

SECURITY_ATTRIBUTES inheritableAttributes() {
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof(sa);
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = TRUE;
    return sa;
}

bool isNtFamily() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Bytes waiting in the pipe; a failed peek (for example once every writer
// has gone and the pipe is empty) counts as nothing waiting.
DWORD bytesWaiting(HANDLE readEnd) {
    DWORD count = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &count, nullptr)) return 0;
    return count;
}

// The piece handed to the per-chunk routine: always NUL-terminated, even when
// the chunk decodes to nothing.
ByteBuffer chunkPiece(const ByteBuffer& chunk, bool decode) {
    ByteBuffer piece;
    if (decode) {
        piece = textToWide(chunk, 936);
        if (piece.empty()) piece.assign(2, 0);
    } else {
        piece = chunk;
        piece.push_back(0);
    }
    return piece;
}

}  // namespace

bool openCapturePipes(CapturePipes& pipes) {
    SECURITY_ATTRIBUTES sa = inheritableAttributes();
    if (!CreatePipe(pipes.readEnd.out(), pipes.writeEnd.out(), &sa, 0)) {
        pipes.readEnd.reset();
        pipes.writeEnd.reset();
        return false;
    }
    // The child gets the write end only. Were the read end inherited too, the
    // child (and whatever it starts) would keep the pipe open from both sides.
    SetHandleInformation(pipes.readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    *pipes.input.out() = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!pipes.input.valid()) {
        // An empty pipe whose writer is gone reads as end of input too.
        OwnedHandle emptyWriter;
        if (!CreatePipe(pipes.input.out(), emptyWriter.out(), &sa, 0)) pipes.input.reset();
    }
    return true;
}

ByteBuffer runAndCaptureWithin(const ByteBuffer& commandWide, ChunkRoutine chunkRoutine,
                               bool useRoutine, bool decode, std::uint32_t maxWaitMs) {
    CapturePipes pipes;
    if (!openCapturePipes(pipes)) return {};

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = pipes.input.get();
    si.hStdOutput = pipes.writeEnd.get();
    si.hStdError = pipes.writeEnd.get();

    const ByteBuffer prefix = textToUtf16(interpreterPrefix(isNtFamily()), true);
    ByteBuffer commandLine = buildCommandBuffer(prefix, commandWide);
    // CreateProcessW reads up to a NUL unit: make sure one ends the buffer even
    // when the command came without its own (or with an odd byte count).
    if (commandLine.size() % 2 != 0) commandLine.push_back(0);
    commandLine.push_back(0);
    commandLine.push_back(0);

    SECURITY_ATTRIBUTES processAttributes = inheritableAttributes();
    PROCESS_INFORMATION pi{};
    const BOOL created =
        CreateProcessW(nullptr, reinterpret_cast<LPWSTR>(commandLine.data()), &processAttributes,
                       nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    pipes.writeEnd.reset();
    pipes.input.reset();
    if (!created) return {};

    OwnedHandle process(pi.hProcess);
    CloseHandle(pi.hThread);
    WaitForInputIdle(process.get(), 1000);

    ByteBuffer output;
    const ULONGLONG start = GetTickCount64();
    DWORD pause = 1;
    bool ended = false;
    for (;;) {
        // The end is seen before the peek: whatever the child wrote is then
        // already in the pipe, so the loop leaves only once it is drained.
        // (The process handle, not the exit code, tells the end: a command
        // may well exit with 259, the code that means still running.)
        if (!ended) ended = WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        const DWORD count = bytesWaiting(pipes.readEnd.get());
        if (count > 0) {
            ByteBuffer chunk(count, 0);
            DWORD delivered = 0;
            const BOOL ok = ReadFile(pipes.readEnd.get(), chunk.data(), count, &delivered, nullptr);
            if (delivered == 0) {
                if (!ok) break;  // the pipe is unusable; keep what was read
            } else {
                chunk.resize(delivered);
                output.insert(output.end(), chunk.begin(), chunk.end());
                if (useRoutine && chunkRoutine != nullptr) {
                    const ByteBuffer piece = chunkPiece(chunk, decode);
                    if (chunkRoutine(piece.data(), 0, 0) != 0) break;
                }
            }
            pause = 1;
        } else if (ended) {
            break;
        }

        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= maxWaitMs) break;  // the child is left running
        if (count == 0) {
            const DWORD left = static_cast<DWORD>(maxWaitMs - elapsed);
            WaitForSingleObject(process.get(), std::min(pause, left));
            pause = std::min<DWORD>(pause * 2, kLongestPauseMs);
        }
    }

    if (output.empty()) return {};
    if (decode) return textToWide(output, 936);
    output.push_back(0);
    return output;
}

ByteBuffer runAndCapture(const ByteBuffer& commandWide, ChunkRoutine chunkRoutine, bool useRoutine,
                         bool decode) {
    return runAndCaptureWithin(commandWide, chunkRoutine, useRoutine, decode, kRunnerMaxWaitMs);
}

std::string runConsoleCommand(const std::string& command, ChunkRoutine chunkRoutine,
                              bool useRoutine) {
    const ByteBuffer commandWide = textToUtf16(command, false);
    const ByteBuffer result =
        runAndCapture(commandWide, useRoutine ? chunkRoutine : nullptr, useRoutine, false);
    std::string text;
    for (std::uint8_t b : result) {
        if (b == 0) break;
        text.push_back(static_cast<char>(b));
    }
    return text;
}
