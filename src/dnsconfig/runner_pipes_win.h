// The handles one run of the console runner gives its child. Shared by the
// runner and its tests; Windows only.
#pragma once
#include <windows.h>

// Closes the handle it holds when it goes out of scope.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE h) : h_(h) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { reset(); }

    HANDLE get() const { return h_; }
    HANDLE* out() {
        reset();
        return &h_;
    }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void reset() {
        if (valid()) CloseHandle(h_);
        h_ = nullptr;
    }

private:
    HANDLE h_ = nullptr;
};

// The output pipe and the child's empty standard input. The write end and the
// input are inheritable; the read end stays with the runner alone, so the pipe
// reports its end once every writer is gone.
struct CapturePipes {
    OwnedHandle readEnd;
    OwnedHandle writeEnd;
    OwnedHandle input;
};

// Opens the three handles; false (with everything closed) when the pipe
// cannot be made. The input is the NUL device, or an empty pipe whose write
// end is already closed when the device cannot be opened.
bool openCapturePipes(CapturePipes& pipes);
