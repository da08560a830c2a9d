// Containment of unexpected internal failures: nothing thrown inside the
// library may reach the host or end the worker thread. A failure is reported
// on standard error and replaced by the caller's failure value.
#pragma once

#include <cstdio>
#include <exception>

namespace quorvel::worker {

inline void report_failure(const char* where, const char* what) noexcept {
  std::fprintf(stderr, "quorvel_engine: internal failure in %s: %s\n", where, what);
  std::fflush(stderr);
}

template <typename R, typename Body>
R guarded(const char* where, R on_failure, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    report_failure(where, e.what());
  } catch (...) {
    report_failure(where, "unknown exception");
  }
  return on_failure;
}

}  // namespace quorvel::worker
