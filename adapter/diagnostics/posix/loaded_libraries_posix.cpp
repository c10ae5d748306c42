// Library paths on POSIX, from the dynamic loader: dladdr for our own code, and a dlopen that
// only looks (RTLD_NOLOAD) for a library by its file name.
#include <dlfcn.h>
#include <link.h>

#include <cerrno>
#include <cstdio>

#include "diagnostics/loaded_libraries.h"

namespace korvex::diagnostics {

bool OwnLibraryPath(char* out, std::size_t size) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnLibraryPath), &info) == 0 || info.dli_fname == nullptr) return false;
    std::snprintf(out, size, "%s", info.dli_fname);
    return true;
}

bool LoadedLibraryPath(const char* baseName, char* out, std::size_t size) {
    const int savedErrno = errno;
    char fileName[128];
    std::snprintf(fileName, sizeof fileName, "lib%s.so", baseName);
    void* library = dlopen(fileName, RTLD_LAZY | RTLD_NOLOAD);
    link_map* map = nullptr;
    const bool found = library != nullptr && dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr;
    if (found) std::snprintf(out, size, "%s", map->l_name);
    if (library != nullptr) dlclose(library);
    errno = savedErrno;
    return found;
}

}  // namespace korvex::diagnostics
