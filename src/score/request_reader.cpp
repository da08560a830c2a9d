#include "score/request_reader.h"

#include "json/reader.h"
#include "json/record.h"

namespace quorvel::score {

namespace {

constexpr std::string_view kRequestKeys[] = {"snapshot", "play"};
constexpr json::RecordShape kRequest{"ScoreRequest", kRequestKeys,
                                     json::required(0) | json::required(1)};

// Reads the request's two members: the snapshot by `read_snapshot`, the play here.
template <class ReadSnapshot>
void read_members(json::Reader& r, std::vector<std::int64_t>& play, ReadSnapshot&& read_snapshot) {
  json::read_record(r, kRequest, [&](std::size_t key) {
    if (key == 0) {
      read_snapshot();
    } else {
      json::read_list(r, [&] { play.push_back(r.read_i64()); });
    }
  });
  r.finish();
}

}  // namespace

std::variant<ScoreRequest, std::string> read_request(std::string_view bytes) {
  ScoreRequest request;
  try {
    json::Reader r(bytes);
    read_members(r, request.play, [&] { request.snapshot = json::Tree::read(r); });
  } catch (const json::ReadError& e) {
    return e.text(bytes);
  }
  return request;
}

std::optional<ParsedRequest> read_parsed_request(std::string_view bytes) {
  ParsedRequest request;
  try {
    json::Reader r(bytes);
    read_members(r, request.play, [&] {
      // The snapshot's records refuse more than its tree does (a repeated
      // key), never less: its skipped members are checked as the tree reads
      // them, and its nesting counts from the request as the tree's does.
      r.skips_as_read(true);
      snapshot::read(r, request.snapshot);
      r.skips_as_read(false);
    });
  } catch (const json::ReadError&) {
    return std::nullopt;
  }
  return request;
}

}  // namespace quorvel::score
