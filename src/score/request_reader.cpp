#include "score/request_reader.h"

#include "json/reader.h"
#include "json/record.h"

namespace quorvel::score {

namespace {

constexpr std::string_view kRequestKeys[] = {"snapshot", "play"};
constexpr json::RecordShape kRequest{"ScoreRequest", kRequestKeys,
                                     json::required(0) | json::required(1)};

}  // namespace

std::variant<ScoreRequest, std::string> read_request(std::string_view bytes) {
  ScoreRequest request;
  try {
    json::Reader r(bytes);
    json::read_record(r, kRequest, [&](std::size_t key) {
      if (key == 0) {
        request.snapshot = json::Tree::read(r);
      } else {
        json::read_list(r, [&] { request.play.push_back(r.read_i64()); });
      }
    });
    r.finish();
  } catch (const json::ReadError& e) {
    return e.text(bytes);
  }
  return request;
}

}  // namespace quorvel::score
