// The library's caption on Windows: its own module's file name, without folder and extension.
#include <cstring>
#include <string>

#include "platform/module_name.h"
#include "platform/win32/own_module_win32.h"

namespace korvex::platform {

HMODULE OwnModule() {
    HMODULE module = nullptr;
    // Any address inside this module names it; the reference count is left alone, so that taking
    // the name never keeps the library loaded.
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
    return module;
}

namespace {

// "C:\dir\Korvex.dll" gives "Korvex": the file name up to its first dot.
std::string CaptionFromPath(const char* path) {
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
    }
    const char* dot = std::strchr(base, '.');
    return dot ? std::string(base, dot) : std::string(base);
}

std::string TakeCaption() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(OwnModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "Korvex";
    return CaptionFromPath(path);
}

// Taken once, when the library is loaded.
const std::string caption = TakeCaption();

}  // namespace

const char* OwnModuleCaption() { return caption.c_str(); }

}  // namespace korvex::platform
