#include "json/tree.h"

#include <bit>
#include <cstring>
#include <span>

#include "common/flat_map.h"
#include "json/writer.h"

namespace quorvel::json {

// Reads the document depth first. The elements and members of the arrays and
// objects still open wait on two stacks; when one closes, its own move into
// the tree together, its members sorted by key first.
class Tree::Builder {
 public:
  Builder(Reader& r, Tree& tree) : r_(r), tree_(tree) {}

  Node value() {
    r_.peek();
    const std::size_t start = r_.offset();
    Node node;
    if (!r_.read_scalar([&](const auto& scalar) { node = scalar_node(scalar, start); })) {
      return r_.peek() == '[' ? array() : object();
    }
    return node;
  }

 private:
  // A member of an open object, with its key's text for sorting.
  struct Pending {
    Member member;
    std::string_view key;
  };

  Node scalar_node(std::nullptr_t, std::size_t) { return Node{}; }
  Node scalar_node(bool b, std::size_t) { return Node{Kind::boolean, false, 0, b ? 1u : 0u}; }
  // An integer has one spelling in JSON, the one the writer gives it: its
  // text is kept. A float is kept as its value, to be written by the number
  // text rule.
  Node scalar_node(const Number& n, std::size_t start) {
    switch (n.kind) {
      case Number::Kind::unsigned_int:
        return Node{Kind::unsigned_int, false, r_.offset() - start, start};
      case Number::Kind::signed_int:
        return Node{Kind::signed_int, false, r_.offset() - start, start};
      case Number::Kind::floating:
        break;
    }
    return Node{Kind::floating, false, 0, std::bit_cast<std::uint64_t>(n.f)};
  }
  Node scalar_node(std::string_view s, std::size_t) { return string(s); }

  // `s` lives only until the reader's next string: a decoded one is copied.
  Node string(std::string_view s) {
    if (!r_.decoded(s)) {
      return Node{Kind::string, false, s.size(),
                  static_cast<std::uint64_t>(s.data() - tree_.input_.data())};
    }
    if (!tree_.decoded_) tree_.decoded_.reset(new char[tree_.input_.size()]);
    const Node node{Kind::string, true, s.size(), tree_.decoded_size_};
    std::memcpy(tree_.decoded_.get() + tree_.decoded_size_, s.data(), s.size());
    tree_.decoded_size_ += s.size();
    return node;
  }

  Node array() {
    r_.enter();
    r_.bump();
    const std::size_t base = elements_.size();
    Reader::Seq seq;
    while (r_.next_element(seq)) {
      const Node element = value();
      elements_.push_back(element);
    }
    r_.leave();
    r_.end_array();
    const Node node{Kind::array, false, elements_.size() - base, tree_.elements_.size()};
    tree_.elements_.insert(tree_.elements_.end(),
                           elements_.begin() + static_cast<std::ptrdiff_t>(base), elements_.end());
    elements_.resize(base);
    return node;
  }

  Node object() {
    r_.enter();
    r_.bump();
    const std::size_t base = members_.size();
    Reader::Seq seq;
    while (auto key = r_.next_key(seq)) {
      const Node name = string(*key);
      r_.parse_colon();
      const Node member = value();
      members_.push_back({{name, member}, tree_.text(name)});
    }
    r_.leave();
    r_.end_object();

    const std::span<const Pending> open(members_.data() + base, members_.size() - base);
    const std::size_t at = tree_.members_.size();
    const auto key_at = [open](std::size_t i) { return open[i].key; };
    if (common::in_key_order(open.size(), key_at)) {
      for (const Pending& p : open) tree_.members_.push_back(p.member);
    } else {
      order_.resize(open.size());
      const std::size_t kept = common::key_order(std::span(order_), key_at);
      for (std::size_t j = 0; j < kept; ++j) tree_.members_.push_back(open[order_[j].index].member);
    }
    members_.resize(base);
    return Node{Kind::object, false, tree_.members_.size() - at, at};
  }

  Reader& r_;
  Tree& tree_;
  std::vector<Node> elements_;
  std::vector<Pending> members_;
  std::vector<common::KeyPlace> order_;  // sorting room for the object that closes
};

Tree Tree::read(Reader& r) {
  Tree tree;
  tree.input_ = r.input();
  Builder builder(r, tree);
  tree.root_ = builder.value();
  return tree;
}

std::string_view Tree::text(const Node& string) const {
  const char* base = string.decoded ? decoded_.get() : input_.data();
  return {base + string.bits, string.size};
}

void Tree::write(std::string& out) const {
  write(out, root_);
}

void Tree::write(std::string& out, const Node& node) const {
  switch (node.kind) {
    case Kind::null:
      out += "null";
      break;
    case Kind::boolean:
      out += node.bits != 0 ? "true" : "false";
      break;
    case Kind::unsigned_int:
    case Kind::signed_int:
      out.append(input_.data() + node.bits, node.size);
      break;
    case Kind::floating:
      write_number(out, std::bit_cast<double>(node.bits));
      break;
    case Kind::string:
      if (node.decoded) {
        write_string(out, text(node));
      } else {
        // Read without an escape, it holds no byte that needs one: written as
        // it stands in the input, quotes included.
        out.append(input_.data() + node.bits - 1, node.size + 2);
      }
      break;
    case Kind::array:
      write_list(
          out, '[', std::span(elements_).subspan(node.bits, node.size),
          [&](const Node& element) { write(out, element); }, ']');
      break;
    case Kind::object:
      write_list(
          out, '{', std::span(members_).subspan(node.bits, node.size),
          [&](const Member& member) {
            write(out, member.key);
            out += ':';
            write(out, member.value);
          },
          '}');
      break;
  }
}

}  // namespace quorvel::json
