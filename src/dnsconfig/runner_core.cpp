#include "dnsconfig/runner.h"

std::string interpreterPrefix(bool ntFamily) {
    return ntFamily ? "cmd.exe /c " : "command.com /c ";
}

ByteBuffer buildCommandBuffer(const ByteBuffer& prefixWide, const ByteBuffer& commandWide) {
    ByteBuffer buffer;
    const std::size_t n = commandWide.size();
    const std::size_t padding = n < kCommandBufferMinBytes ? kCommandBufferMinBytes - n : 0;
    buffer.reserve(prefixWide.size() + n + padding);
    buffer.insert(buffer.end(), prefixWide.begin(), prefixWide.end());
    buffer.insert(buffer.end(), commandWide.begin(), commandWide.end());
    buffer.insert(buffer.end(), padding, 0);
    return buffer;
}
