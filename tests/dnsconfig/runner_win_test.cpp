#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dnsconfig/runner.h"
#include "dnsconfig/runner_pipes_win.h"
#include "emitter_pattern.h"
#include "support/codepage.h"
#include "bin_dir_win.h"

namespace {

std::string emitter(const std::string& args) {
    return binDir() + "dnsconfig_emitter.exe " + args;
}

std::string bytesBefore(const ByteBuffer& b, std::size_t n) {
    return std::string(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}

TEST(RunConsoleCommand, CapturesWhatTheCommandWrites) {
    struct Case {
        const char* args;
        std::string want;
    };
    const Case cases[] = {
        {"", ""},                                                  // writes nothing
        {"-o out -e err", "outerr"},                               // both streams
        {"-o one -p 150 -o two -p 150 -o three", "onetwothree"},   // chunks with pauses
        {"-o ab -z -o cd", "ab"},                                  // up to the zero byte
        {"-o 确定。", "确定。"},                                   // code page 936 both ways
        {"-i", "stdin:0"},                                         // input is empty, not the pipe
        {"-o done -x 259", "done"},                                // exit code that reads as running
    };
    for (const auto& c : cases) EXPECT_EQ(runConsoleCommand(emitter(c.args)), c.want) << c.args;
}

TEST(RunConsoleCommand, LongCommandLineIsPassedWhole) {
    const std::string word(700, 'w');
    const std::string command = emitter("-o " + word);
    ASSERT_GE(textToUtf16(command, false).size(), kCommandBufferMinBytes);
    EXPECT_EQ(runConsoleCommand(command), word);
}

TEST(RunConsoleCommand, EmptyCommandStartsTheBareInterpreter) {
    EXPECT_EQ(runConsoleCommand(""), "");
}

TEST(RunAndCapture, RawOutputKeepsZeroBytesAndEndsWithOne) {
    const ByteBuffer out = runAndCapture(textToUtf16(emitter("-o ab -z -o cd"), false), nullptr,
                                         false, false);
    EXPECT_EQ(out, (ByteBuffer{'a', 'b', 0, 'c', 'd', 0}));
}

TEST(RunAndCapture, DecodedOutputIsUtf16WithNulUnit) {
    const ByteBuffer out =
        runAndCapture(textToUtf16(emitter("-o 确定"), false), nullptr, false, true);
    EXPECT_EQ(out, (ByteBuffer{0x6E, 0x78, 0x9A, 0x5B, 0, 0}));
}

TEST(RunAndCapture, NothingWrittenGivesEmptyResult) {
    EXPECT_TRUE(runAndCapture(textToUtf16(emitter("-p 50"), false), nullptr, false, false).empty());
}

TEST(RunAndCapture, MoreThanOneMebibyteArrivesWholeAndInOrder) {
    const std::size_t size = 1200000;
    const ByteBuffer out = runAndCapture(
        textToUtf16(emitter("-b " + std::to_string(size)), false), nullptr, false, false);
    ASSERT_EQ(out.size(), size + 1);
    EXPECT_EQ(out.back(), 0);
    EXPECT_TRUE(bytesBefore(out, size) == emitterPattern(size));
}

std::vector<ByteBuffer> seenPieces;
std::int32_t stopAtOnce = 0;

std::int32_t recordPiece(const void* chunk, std::int32_t a, std::int32_t b) {
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    const auto* p = static_cast<const std::uint8_t*>(chunk);
    ByteBuffer piece;
    std::size_t i = 0;
    while (p[i] != 0) piece.push_back(p[i++]);
    seenPieces.push_back(piece);
    return stopAtOnce;
}

TEST(RunAndCapture, ChunkRoutineSeesEveryChunkInOrder) {
    seenPieces.clear();
    stopAtOnce = 0;
    const ByteBuffer out = runAndCapture(
        textToUtf16(emitter("-o one -p 300 -o two -p 300 -o three"), false), recordPiece, true,
        false);
    std::string joined;
    for (const auto& p : seenPieces) joined += std::string(p.begin(), p.end());
    EXPECT_EQ(joined, "onetwothree");
    EXPECT_GE(seenPieces.size(), 3u);
    EXPECT_EQ(bytesBefore(out, out.size() - 1), "onetwothree");
}

TEST(RunAndCapture, ChunkRoutineIsNotCalledWhenNotAsked) {
    seenPieces.clear();
    stopAtOnce = 0;
    EXPECT_EQ(runConsoleCommand(emitter("-o quiet"), recordPiece, false), "quiet");
    EXPECT_TRUE(seenPieces.empty());
}

TEST(RunAndCapture, ChunkRoutineStopsTheReadingAfterTheFirstChunk) {
    seenPieces.clear();
    stopAtOnce = 1;
    const std::string out =
        runConsoleCommand(emitter("-o first -p 3000 -o second"), recordPiece, true);
    stopAtOnce = 0;
    EXPECT_EQ(out, "first");
    ASSERT_EQ(seenPieces.size(), 1u);
    EXPECT_EQ(std::string(seenPieces[0].begin(), seenPieces[0].end()), "first");
}

ByteBuffer firstWidePiece;

std::int32_t keepWidePieceAndStop(const void* chunk, std::int32_t, std::int32_t) {
    const auto* p = static_cast<const std::uint8_t*>(chunk);
    std::size_t i = 0;
    while (p[i] != 0 || p[i + 1] != 0) i += 2;
    firstWidePiece.assign(p, p + i + 2);
    return 1;
}

TEST(RunAndCapture, DecodedChunksReachTheRoutineAsUtf16) {
    firstWidePiece.clear();
    const ByteBuffer out = runAndCapture(textToUtf16(emitter("-o 确定 -p 3000 -o later"), false),
                                         keepWidePieceAndStop, true, true);
    const ByteBuffer want = {0x6E, 0x78, 0x9A, 0x5B, 0, 0};
    EXPECT_EQ(firstWidePiece, want);
    EXPECT_EQ(out, want);
}

TEST(RunAndCapture, WaitIsBoundedAndKeepsWhatArrived) {
    const ByteBuffer out = runAndCaptureWithin(
        textToUtf16(emitter("-o early -p 4000 -o late"), false), nullptr, false, false, 1000);
    EXPECT_EQ(out, (ByteBuffer{'e', 'a', 'r', 'l', 'y', 0}));
}

TEST(CapturePipes, OnlyTheChildsEndsAreInheritable) {
    CapturePipes pipes;
    ASSERT_TRUE(openCapturePipes(pipes));
    DWORD flags = 0;
    ASSERT_TRUE(GetHandleInformation(pipes.readEnd.get(), &flags));
    EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
    ASSERT_TRUE(GetHandleInformation(pipes.writeEnd.get(), &flags));
    EXPECT_NE(flags & HANDLE_FLAG_INHERIT, 0u);
    ASSERT_TRUE(GetHandleInformation(pipes.input.get(), &flags));
    EXPECT_NE(flags & HANDLE_FLAG_INHERIT, 0u);
    EXPECT_NE(pipes.input.get(), pipes.readEnd.get());

    char byte = 0;
    DWORD got = 1;
    ReadFile(pipes.input.get(), &byte, 1, &got, nullptr);
    EXPECT_EQ(got, 0u);  // empty input: end at once
}

}  // namespace
