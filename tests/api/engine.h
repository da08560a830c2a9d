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

// The library, loaded once per process and never unloaded (its worker thread
// lives as long as the process). Fails the calling test when it cannot load.
const Engine& engine();

inline const std::uint8_t* bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

struct Answer {
  std::int32_t status = 0;
  std::string text;     // what was copied into the buffer
  std::size_t len = 0;  // what `out_len` received
};

// Scores `request` with a buffer large enough for any answer.
Answer score(std::string_view request);

std::uint64_t start(std::string_view request);

// One poll with a buffer of `cap` bytes.
Answer poll(std::uint64_t job, std::size_t cap = 1 << 16);

// Polls until the job's status is no longer 0, collecting every text handed
// out; gives up after `seconds` (status then stays 0).
struct Finished {
  std::int32_t status = 0;
  std::vector<std::string> texts;
};
Finished wait_for(std::uint64_t job, double seconds = 120.0);

// The contents of a file of the examples folder.
std::string example(const char* name);

}  // namespace qrv_test
