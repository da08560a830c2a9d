// The snapshot reader: any bytes give a snapshot or a well-formed error text,
// the same each time. The bytes are also read as a generic value, which must
// write back compactly, and whose rewriting must parse when the original did;
// and as a tree, which must fail or write back exactly as the value does.
#include <string>
#include <variant>

#include "fuzz_checks.h"
#include "json/tree.h"
#include "snapshot/snapshot.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::text_of(data, size);
  const snapshot::ParseResult first = snapshot::parse(input);
  const snapshot::ParseResult second = snapshot::parse(input);
  fuzz::check(first.index() == second.index(), "the same snapshot parsed twice differs");
  if (const std::string* error = std::get_if<std::string>(&first)) {
    fuzz::check_error_text(*error, input);
    fuzz::check(*error == std::get<std::string>(second), "the same error text differs");
  }

  std::string tree_outcome;
  try {
    json::Reader reader(input);
    const json::Tree tree = json::Tree::read(reader);
    reader.finish();
    tree_outcome = json::to_text(tree);
  } catch (const json::ReadError& e) {
    tree_outcome = e.text(input);
  }

  json::Value value;
  try {
    json::Reader reader(input);
    value = reader.read_value();
    reader.finish();
  } catch (const json::ReadError& e) {
    fuzz::check_error_text(e.text(input), input);
    fuzz::check(tree_outcome == e.text(input), "a tree fails unlike a value",
                e.text(input) + "\n  " + tree_outcome);
    return 0;
  }
  const std::string rewritten = json::to_text(value);
  fuzz::check(tree_outcome == rewritten, "a tree writes back unlike a value",
              rewritten + "\n  " + tree_outcome);
  fuzz::check_compact_json(rewritten);
  if (std::holds_alternative<snapshot::Snapshot>(first)) {
    // A repeated key collapses and the keys come sorted; nothing else changes.
    const snapshot::ParseResult again = snapshot::parse(rewritten);
    if (const std::string* error = std::get_if<std::string>(&again)) {
      fuzz::fail("a parsed snapshot fails once rewritten", *error + "\n  " + rewritten);
    }
  }
  return 0;
}
