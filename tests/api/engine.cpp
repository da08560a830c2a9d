#include "engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace qrv_test {

namespace {

void* symbol(void* library, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
  return dlsym(library, name);
#endif
}

template <typename F>
void bind(void* library, const char* name, F& slot) {
  void* found = symbol(library, name);
  if (found == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  slot = reinterpret_cast<F>(found);
}

}  // namespace

Library open_library() {
  Library l;
#if defined(_WIN32)
  l.handle = LoadLibraryA(QRV_ENGINE_PATH);
  if (l.handle == nullptr) throw std::runtime_error("cannot load " QRV_ENGINE_PATH);
#else
  l.handle = dlopen(QRV_ENGINE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (l.handle == nullptr) throw std::runtime_error(dlerror());
#endif
  bind(l.handle, "qrv_abi_version", l.exports.abi_version);
  bind(l.handle, "qrv_score", l.exports.score);
  bind(l.handle, "qrv_search_start", l.exports.search_start);
  bind(l.handle, "qrv_search_poll", l.exports.search_poll);
  return l;
}

void close_library(Library& library) {
#if defined(_WIN32)
  const bool closed = FreeLibrary(static_cast<HMODULE>(library.handle)) != 0;
#else
  const bool closed = dlclose(library.handle) == 0;
#endif
  if (!closed) throw std::runtime_error("cannot unload " QRV_ENGINE_PATH);
  library = Library{};
}

bool library_resident() {
#if defined(_WIN32)
  HMODULE found = nullptr;
  return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, QRV_ENGINE_PATH,
                            &found) != 0;
#else
  void* found = dlopen(QRV_ENGINE_PATH, RTLD_NOW | RTLD_NOLOAD);
  if (found == nullptr) return false;
  dlclose(found);
  return true;
#endif
}

const Engine& engine() {
  static const Engine loaded = open_library().exports;
  return loaded;
}

Answer score(const Engine& e, std::string_view request) {
  std::vector<std::uint8_t> out(1 << 16);
  std::size_t len = 0;
  Answer a;
  a.status = e.score(bytes(request), request.size(), out.data(), out.size(), &len);
  a.len = len;
  if (a.status == QRV_OK || a.status == QRV_ERROR) {
    a.text.assign(reinterpret_cast<const char*>(out.data()), len);
  }
  return a;
}

std::uint64_t start(const Engine& e, std::string_view request) {
  return e.search_start(bytes(request), request.size());
}

Answer poll(const Engine& e, std::uint64_t job, std::size_t cap) {
  std::vector<std::uint8_t> out(cap);
  std::size_t len = 12345;
  Answer a;
  a.status = e.search_poll(job, cap ? out.data() : nullptr, cap, &len);
  a.len = len;
  if (a.status != QRV_TOO_SMALL) {
    a.text.assign(reinterpret_cast<const char*>(out.data()), len);
  }
  return a;
}

Finished wait_for(const Engine& e, std::uint64_t job, double seconds) {
  Finished f;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    Answer a = poll(e, job);
    if (!a.text.empty()) f.texts.push_back(a.text);
    f.status = a.status;
    if (a.status != QRV_RUNNING) return f;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return f;
}

std::string example(const char* name) {
  std::ifstream in(std::string(QRV_EXAMPLES_DIR) + "/" + name, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read example ") + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qrv_test
