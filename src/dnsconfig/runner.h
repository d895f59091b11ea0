// Console command runner: starts a command line hidden under the system
// command interpreter and captures what it writes to stdout and stderr.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/types.h"

// Called after each chunk read with the address of the chunk as a
// NUL-terminated string (raw bytes, or UTF-16LE when decoding), then 0, 0.
// The address is valid only during the call. A non-zero result stops the
// reading at once.
using ChunkRoutine = std::int32_t (*)(const void* chunk, std::int32_t, std::int32_t);

// Longest total wait of one run, in milliseconds. Past it the runner returns
// what it has captured and leaves the child running.
constexpr std::uint32_t kRunnerMaxWaitMs = 60000;

// Minimum size, in bytes, of the command part of the command-line buffer.
constexpr std::size_t kCommandBufferMinBytes = 520;

// Platform-free: the interpreter that runs the command line, "cmd.exe /c " on
// the NT family and "command.com /c " on any other platform.
std::string interpreterPrefix(bool ntFamily);

// Platform-free: the command-line buffer, the interpreter prefix (UTF-16LE,
// without NUL unit), then the command bytes as given, then zero bytes up to
// kCommandBufferMinBytes counted without the prefix.
ByteBuffer buildCommandBuffer(const ByteBuffer& prefixWide, const ByteBuffer& commandWide);

// Windows only. Text in (code page 936), text out: everything the command
// wrote, up to its first zero byte; empty when nothing was written or the
// command could not be started. chunkRoutine is called only when useRoutine
// is true (and it is not null).
std::string runConsoleCommand(const std::string& command, ChunkRoutine chunkRoutine = nullptr,
                              bool useRoutine = false);

// Windows only. UTF-16LE command in; the raw output followed by one zero byte
// (decode false) or the output decoded from code page 936 to UTF-16LE ending in
// a NUL unit (decode true); empty when nothing was read or on failure. Waits
// at most kRunnerMaxWaitMs.
ByteBuffer runAndCapture(const ByteBuffer& commandWide, ChunkRoutine chunkRoutine, bool useRoutine,
                         bool decode);

// Windows only. runAndCapture with its own bound on the total wait.
ByteBuffer runAndCaptureWithin(const ByteBuffer& commandWide, ChunkRoutine chunkRoutine,
                               bool useRoutine, bool decode, std::uint32_t maxWaitMs);
