// A value tree for one document that is read once and written back whole, as
// the score request does with its snapshot. It keeps the rules of Value
// (integer and float kinds apart, objects ordered by key bytes, the later of
// two equal keys kept) and reads with read_value's messages, but costs no
// heap allocation per node: the nodes of every array and object lie in two
// vectors, each object's members are sorted once when it closes, and strings
// stay views into the input unless they hold an escape (those are decoded
// into the tree's own buffer). The tree borrows the input it was read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/reader.h"
#include "json/value.h"

namespace quorvel::json {

class Tree {
 public:
  // Null until a value is read into it.
  Tree() = default;

  // Reads one value at the cursor, with the rules and messages of
  // Reader::read_value. `r`'s input must outlive the tree.
  static Tree read(Reader& r);

  // Appends the value in compact form: the text that write() gives for the
  // Value that read_value() would have built.
  void write(std::string& out) const;

 private:
  struct Node {
    Kind kind = Kind::null;
    bool decoded = false;  // a string held in decoded_ rather than in the input
    // The bytes of a string or an integer's text, the elements of an array,
    // the members of an object.
    std::size_t size = 0;
    // A boolean, a float's bits, the offset of a string or an integer's text,
    // the index of the first element or member.
    std::uint64_t bits = 0;
  };
  struct Member {
    Node key;  // a string
    Node value;
  };
  class Builder;

  std::string_view text(const Node& string) const;
  void write(std::string& out, const Node& node) const;

  std::string_view input_;
  Node root_;
  std::vector<Node> elements_;   // the elements of each array, together
  std::vector<Member> members_;  // the members of each object, together, in key order
  // Strings that held escapes, decoded. Sized once, when the first one comes,
  // to the input's size, which their decoded bytes never exceed.
  std::unique_ptr<char[]> decoded_;
  std::size_t decoded_size_ = 0;
};

}  // namespace quorvel::json
