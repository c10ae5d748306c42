// The library's caption on POSIX: the file that holds this code, from the dynamic loader.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/module_name.h"

namespace korvex::platform {
namespace {

std::string CaptionFromPath(const char* path) {
    const char* base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    const char* dot = std::strchr(base, '.');
    return dot ? std::string(base, dot) : std::string(base);
}

std::string TakeCaption() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&TakeCaption), &info) == 0 || info.dli_fname == nullptr) return "Korvex";
    return CaptionFromPath(info.dli_fname);
}

// Taken once, when the library is loaded.
const std::string caption = TakeCaption();

}  // namespace

const char* OwnModuleCaption() { return caption.c_str(); }

}  // namespace korvex::platform
