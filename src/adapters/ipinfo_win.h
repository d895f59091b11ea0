// Safe reading of the buffers IP Helper fills. Windows only.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A zeroed buffer for IP Helper, aligned for its structures, that knows its
// own bounds. A size beyond any real table gives no buffer at all.
class IpInfoBuffer {
public:
    static constexpr ULONG kLargest = 16u << 20;
    IpInfoBuffer() = default;
    explicit IpInfoBuffer(ULONG size)
        : words_(size <= kLargest ? (size + 7) / 8 : 0, 0), size_(size <= kLargest ? size : 0) {}
    BYTE* data() { return words_.empty() ? nullptr : reinterpret_cast<BYTE*>(words_.data()); }
    const BYTE* data() const { return words_.empty() ? nullptr : reinterpret_cast<const BYTE*>(words_.data()); }
    ULONG size() const { return size_; }

private:
    std::vector<std::uint64_t> words_;
    ULONG size_ = 0;
};

// True when the n bytes at p lie inside [base, base + size) and p is aligned
// for a structure of the given alignment.
bool spanInside(const void* base, std::size_t size, const void* p, std::size_t n, std::size_t align);

// The entries of the chain GetAdaptersInfo wrote into buffer, first to last.
// The walk stops at a Next of 0, at a Next whose entry (up to the last field
// the inventories read) does not lie inside the buffer, and after as many
// entries as the buffer can hold, so a damaged chain can neither lead outside
// the buffer nor loop.
std::vector<const IP_ADAPTER_INFO*> adapterChain(const void* buffer, std::size_t size);

// The number of IP_ADAPTER_INDEX_MAP entries of the interface table in
// buffer: NumAdapters, bounded by the entries that fit; 0 when it is not
// above 0 or the buffer cannot hold the count.
std::size_t interfaceEntryCount(const void* buffer, std::size_t size);
