// The score request through the exported function, as a host calls it: first
// without a buffer and with one too small (status -2, the length learnt,
// nothing written), then with exactly that length (the whole text, nothing
// written beyond it), then once more for the same text.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_checks.h"
#include "quorvel_engine.h"
#include "score/request.h"

using namespace quorvel;

namespace {

constexpr std::uint8_t kFill = 0xA5;
constexpr std::size_t kGuard = 16;
constexpr std::size_t kUnset = static_cast<std::size_t>(-1);

struct Call {
  std::int32_t status = 0;
  std::size_t len = kUnset;
  std::string text;
};

// One call with a buffer of `cap` bytes followed by guard bytes.
Call call(const std::uint8_t* data, std::size_t size, std::size_t cap) {
  std::vector<std::uint8_t> buffer(cap + kGuard, kFill);
  Call c;
  c.status = qrv_score(data, size, buffer.data(), cap, &c.len);
  fuzz::check(c.len != kUnset, "qrv_score contained an internal failure");
  for (std::size_t i = c.status == QRV_TOO_SMALL ? 0 : c.len; i < buffer.size(); ++i) {
    fuzz::check(buffer[i] == kFill, "qrv_score wrote beyond the text it handed over");
  }
  if (c.status != QRV_TOO_SMALL) c.text.assign(reinterpret_cast<const char*>(buffer.data()), c.len);
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A non-null pointer also for empty input: null means "no request".
  static const std::uint8_t kEmpty = 0;
  const std::uint8_t* request = size == 0 ? &kEmpty : data;

  std::size_t needed = kUnset;
  const std::int32_t probe = qrv_score(request, size, nullptr, 0, &needed);
  fuzz::check(probe == QRV_TOO_SMALL, "no buffer did not give -2");
  fuzz::check(needed != kUnset && needed > 0, "no length learnt for an empty buffer");

  const Call small = call(request, size, needed / 2);
  fuzz::check(small.status == QRV_TOO_SMALL && small.len == needed,
              "a buffer too small did not give -2 with the same length");

  const Call exact = call(request, size, needed);
  fuzz::check(exact.status == QRV_OK || exact.status == QRV_ERROR, "an exact buffer was refused");
  fuzz::check(exact.len == needed, "the exact buffer got another length");
  if (exact.status == QRV_OK) {
    const json::Value answer = fuzz::check_compact_json(exact.text);
    fuzz::check(answer.kind() == json::Kind::object && answer.as_object().size() == 11,
                "an answer is not an object of eleven keys", exact.text);
  } else {
    fuzz::check_error_text(exact.text);
  }

  const Call again = call(request, size, needed + 1);
  fuzz::check(again.status == exact.status && again.text == exact.text,
              "the same request answered twice differs", exact.text + "\n  " + again.text);

  // Read in place or through the rewritten snapshot, a request answers alike.
  const score::RequestResult rewritten = score::score_request_rewritten(fuzz::text_of(data, size));
  fuzz::check(rewritten.error == (exact.status == QRV_ERROR) && rewritten.text == exact.text,
              "the rewritten snapshot answers otherwise", exact.text + "\n  " + rewritten.text);
  return 0;
}
