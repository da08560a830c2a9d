// The library's whole outside face: four C functions. Every one of them
// contains whatever the library's own code throws, so nothing crosses into
// the host but a status and the bytes copied into the host's buffer.
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "quorvel_engine.h"
#include "score/request.h"
#include "worker/guard.h"
#include "worker/worker.h"

namespace {

using quorvel::worker::guarded;

constexpr std::string_view kNullRequest = "null request";

// Hands `text` over with `status`, or -2 when it does not fit; `out_len`
// learns the length either way.
int32_t hand_over(std::string_view text, int32_t status, uint8_t* out, size_t out_cap,
                  size_t* out_len) {
  if (out_len != nullptr) *out_len = text.size();
  if (text.empty()) return status;
  if (out == nullptr || text.size() > out_cap) return QRV_TOO_SMALL;
  std::memcpy(out, text.data(), text.size());
  return status;
}

int32_t status_of(quorvel::worker::PollState state) {
  switch (state) {
    case quorvel::worker::PollState::running:
      return QRV_RUNNING;
    case quorvel::worker::PollState::done:
      return QRV_OK;
    case quorvel::worker::PollState::failed:
      return QRV_ERROR;
    case quorvel::worker::PollState::no_such_job:
      return QRV_NO_SUCH_JOB;
  }
  throw std::logic_error("unknown poll state");
}

std::string_view bytes(const uint8_t* json, size_t len) {
  return {reinterpret_cast<const char*>(json), len};
}

}  // namespace

extern "C" {

QRV_API int32_t qrv_abi_version(void) {
  return 1;
}

QRV_API int32_t qrv_score(const uint8_t* json, size_t len, uint8_t* out, size_t out_cap,
                          size_t* out_len) {
  return guarded("qrv_score", QRV_ERROR, [&]() -> int32_t {
    if (json == nullptr) {
      return hand_over(kNullRequest, QRV_ERROR, out, out_cap, out_len);
    }
    quorvel::score::RequestResult result = quorvel::score::score_request(bytes(json, len));
    return hand_over(result.text, result.error ? QRV_ERROR : QRV_OK, out, out_cap, out_len);
  });
}

QRV_API uint64_t qrv_search_start(const uint8_t* json, size_t len) {
  if (json == nullptr) return 0;
  return guarded("qrv_search_start", uint64_t{0},
                 [&] { return quorvel::worker::start(std::string(bytes(json, len))); });
}

QRV_API int32_t qrv_search_poll(uint64_t job, uint8_t* out, size_t out_cap, size_t* out_len) {
  return guarded("qrv_search_poll", QRV_ERROR, [&]() -> int32_t {
    if (out_len != nullptr) *out_len = 0;
    quorvel::worker::Polled polled = quorvel::worker::poll(job);
    const int32_t status = status_of(polled.state);
    if (!polled.text) return status;
    const int32_t handed = hand_over(*polled.text, status, out, out_cap, out_len);
    // Kept for the next poll: a report that did not fit is not lost.
    if (handed == QRV_TOO_SMALL) quorvel::worker::mark_unread(job);
    return handed;
  });
}

}  // extern "C"
