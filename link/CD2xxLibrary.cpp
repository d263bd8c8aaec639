#include "link/CD2xxLibrary.h"

#include <dlfcn.h>

#include <cstdlib>

namespace {

template <typename Function>
bool Resolve(void* hModule, const char* pszName, Function& pfn) {
  pfn = reinterpret_cast<Function>(dlsym(hModule, pszName));
  return pfn != nullptr;
}

bool ResolveAll(void* hModule, D2xxCalls& calls) {
  // Each entry point by its exported name (ELF has no ordinals).
#define KORVEX_RESOLVE(name) Resolve(hModule, #name, calls.name)
  return KORVEX_RESOLVE(FT_ListDevices) && KORVEX_RESOLVE(FT_W32_CreateFile) &&
         KORVEX_RESOLVE(FT_W32_CloseHandle) && KORVEX_RESOLVE(FT_ResetDevice) &&
         KORVEX_RESOLVE(FT_GetLatencyTimer) && KORVEX_RESOLVE(FT_SetLatencyTimer) &&
         KORVEX_RESOLVE(FT_W32_SetCommMask) && KORVEX_RESOLVE(FT_W32_SetupComm) &&
         KORVEX_RESOLVE(FT_W32_PurgeComm) && KORVEX_RESOLVE(FT_W32_SetCommTimeouts) &&
         KORVEX_RESOLVE(FT_W32_GetCommState) && KORVEX_RESOLVE(FT_W32_SetCommState) &&
         KORVEX_RESOLVE(FT_SetEventNotification) && KORVEX_RESOLVE(FT_W32_ClearCommError) &&
         KORVEX_RESOLVE(FT_W32_ReadFile) && KORVEX_RESOLVE(FT_W32_WriteFile);
#undef KORVEX_RESOLVE
}

}  // namespace

CD2xxLibrary& CD2xxLibrary::Shared() {
  static CD2xxLibrary library;
  return library;
}

bool CD2xxLibrary::Load() {
  const char* pszFile = std::getenv(FILE_VARIABLE);
  return LoadFile(pszFile != nullptr && *pszFile != '\0' ? pszFile : DEFAULT_FILE);
}

bool CD2xxLibrary::LoadFile(const std::string& path) {
  if (!Unload()) return false;
  void* hModule = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (hModule == nullptr) return false;
  D2xxCalls calls{};
  if (!ResolveAll(hModule, calls)) {
    dlclose(hModule);
    return false;
  }
  m_hModule = hModule;
  m_calls = calls;
  return true;
}

bool CD2xxLibrary::Unload() {
  if (OpenDevices() > 0) return false;
  if (m_hModule == nullptr) return true;
  dlclose(m_hModule);
  m_hModule = nullptr;
  m_calls = D2xxCalls{};
  return true;
}
