// ReadRegularFile on Windows: CreateFileW opens no directory without FILE_FLAG_BACKUP_SEMANTICS
// and does not wait for a pipe; GetFileType then keeps only files on disk.
#include "regular_file.h"

#include <windows.h>

namespace hvsim {
namespace {

std::string WindowsError(const char* what) {
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ")";
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        error = WindowsError("cannot be opened");
        return false;
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        error = "is a device or a pipe, not a regular file";
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        error = WindowsError("has no size");
        return false;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        error = "is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    bytes.clear();
    uint8_t chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) {
            error = WindowsError("cannot be read");
            return false;
        }
        if (got == 0) return true;
        if (bytes.size() + got > maxBytes) {
            error = "is larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

}  // namespace hvsim
