// Loads the built shared library at run time and calls its four exports the
// way a host does: by name, through function pointers, with its own buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quorvel_engine.h"

namespace qrv_test {

struct Engine {
  decltype(&qrv_abi_version) abi_version = nullptr;
  decltype(&qrv_score) score = nullptr;
  decltype(&qrv_search_start) search_start = nullptr;
  decltype(&qrv_search_poll) search_poll = nullptr;
};

// The library, loaded once per process and never unloaded. Fails the calling
// test when it cannot load.
const Engine& engine();

// A load of the host's own, given back by close_library as a host unloads the
// library (dlclose, FreeLibrary); its exports may be called only while it is
// open. Throws when the library cannot load.
struct Library {
  void* handle = nullptr;
  Engine exports;
};
Library open_library();
void close_library(Library& library);

// Whether the library is mapped in this process, whoever loaded it.
bool library_resident();

inline const std::uint8_t* bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

struct Answer {
  std::int32_t status = 0;
  std::string text;     // what was copied into the buffer
  std::size_t len = 0;  // what `out_len` received
};

// Scores `request` with a buffer large enough for any answer.
Answer score(const Engine& e, std::string_view request);
inline Answer score(std::string_view request) {
  return score(engine(), request);
}

std::uint64_t start(const Engine& e, std::string_view request);
inline std::uint64_t start(std::string_view request) {
  return start(engine(), request);
}

// One poll with a buffer of `cap` bytes.
Answer poll(const Engine& e, std::uint64_t job, std::size_t cap = 1 << 16);
inline Answer poll(std::uint64_t job, std::size_t cap = 1 << 16) {
  return poll(engine(), job, cap);
}

// Polls until the job's status is no longer 0, collecting every text handed
// out; gives up after `seconds` (status then stays 0).
struct Finished {
  std::int32_t status = 0;
  std::vector<std::string> texts;
};
Finished wait_for(const Engine& e, std::uint64_t job, double seconds = 120.0);
inline Finished wait_for(std::uint64_t job, double seconds = 120.0) {
  return wait_for(engine(), job, seconds);
}

// The contents of a file of the examples folder.
std::string example(const char* name);

}  // namespace qrv_test
