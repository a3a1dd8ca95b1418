// handles.h - owners for the Windows handles the runtime keeps.
#pragma once

#include <windows.h>

namespace rt {

// Owns a kernel file handle; closing twice is harmless.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE h) : handle_(h) {}
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Close(); }

    void Reset(HANDLE h) { Close(); handle_ = h; }
    void Close() {
        if (IsOpen()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Owns a GDI object (the frame's bitmap).
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;
    ~GdiObject() { Reset(nullptr); }

    void Reset(T object) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }
    T Get() const { return object_; }

private:
    T object_ = nullptr;
};

}  // namespace rt
