// Library paths on Windows: the module that holds an address, or a loaded module by its name.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

#include "diagnostics/loaded_libraries.h"

namespace korvex::diagnostics {
namespace {

bool ModulePath(HMODULE module, char* out, std::size_t size) {
    if (module == nullptr || size == 0) return false;
    const DWORD length = GetModuleFileNameA(module, out, static_cast<DWORD>(size));
    return length > 0 && length < size;
}

}  // namespace

bool OwnLibraryPath(char* out, std::size_t size) {
    const DWORD savedError = GetLastError();
    HMODULE own = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnLibraryPath), &own);
    const bool found = ModulePath(own, out, size);
    SetLastError(savedError);
    return found;
}

bool LoadedLibraryPath(const char* baseName, char* out, std::size_t size) {
    const DWORD savedError = GetLastError();
    char fileName[128];
    std::snprintf(fileName, sizeof fileName, "%s.dll", baseName);
    const bool found = ModulePath(GetModuleHandleA(fileName), out, size);
    SetLastError(savedError);
    return found;
}

}  // namespace korvex::diagnostics
