#include "json/tree.h"

#include <algorithm>
#include <bit>

#include "json/writer.h"

namespace quorvel::json {

// Reads the document depth first. The elements and members of the arrays and
// objects still open wait on two stacks; when one closes, its own move into
// the tree together, its members sorted by key first.
class Tree::Builder {
 public:
  Builder(Reader& r, Tree& tree) : r_(r), tree_(tree) {}

  Node value() {
    switch (r_.peek_token()) {
      case Reader::kEnd:
        r_.fail_at_peek(Syntax::eof_value);
      case 'n':
        r_.bump();
        r_.parse_ident("ull");
        return Node{};
      case 't':
        r_.bump();
        r_.parse_ident("rue");
        return Node{Kind::boolean, false, 0, 1};
      case 'f':
        r_.bump();
        r_.parse_ident("alse");
        return Node{Kind::boolean, false, 0, 0};
      case '-':
        r_.bump();
        return number(r_.parse_number(false));
      case '0':
        return number(r_.parse_number(true));
      case '"':
        r_.bump();
        return string(r_.parse_string());
      case '[':
        return array();
      case '{':
        return object();
      default:
        r_.fail_at_peek(Syntax::expected_value);
    }
  }

 private:
  // A member of an open object with its place among the members as sent,
  // which decides between equal keys.
  struct Pending {
    Member member;
    std::size_t place;
  };

  static Node number(const Number& n) {
    switch (n.kind) {
      case Number::Kind::unsigned_int:
        return Node{Kind::unsigned_int, false, 0, n.u};
      case Number::Kind::signed_int:
        return Node{Kind::signed_int, false, 0, std::bit_cast<std::uint64_t>(n.i)};
      case Number::Kind::floating:
        break;
    }
    return Node{Kind::floating, false, 0, std::bit_cast<std::uint64_t>(n.f)};
  }

  // `s` lives only until the reader's next string: a decoded one is copied.
  Node string(std::string_view s) {
    if (r_.decoded(s)) {
      const std::size_t at = tree_.decoded_.size();
      tree_.decoded_ += s;
      return Node{Kind::string, true, s.size(), at};
    }
    return Node{Kind::string, false, s.size(),
                static_cast<std::uint64_t>(s.data() - tree_.input_.data())};
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
      Pending pending{{string(*key), {}}, members_.size() - base};
      r_.parse_colon();
      pending.member.value = value();
      members_.push_back(pending);
    }
    r_.leave();
    r_.end_object();

    const auto first = members_.begin() + static_cast<std::ptrdiff_t>(base);
    const auto last = members_.end();
    const auto key_of = [this](const Pending& p) { return tree_.text(p.member.key); };
    const auto out_of_order = [&](const Pending& a, const Pending& b) {
      return key_of(a) >= key_of(b);
    };
    if (std::adjacent_find(first, last, out_of_order) != last) {
      std::sort(first, last, [&](const Pending& a, const Pending& b) {
        const int order = key_of(a).compare(key_of(b));
        return order < 0 || (order == 0 && a.place < b.place);
      });
    }
    const std::size_t at = tree_.members_.size();
    for (auto it = first; it != last; ++it) {
      const auto next = it + 1;
      if (next != last && key_of(*next) == key_of(*it)) continue;  // a later value follows
      tree_.members_.push_back(it->member);
    }
    members_.resize(base);
    return Node{Kind::object, false, tree_.members_.size() - at, at};
  }

  Reader& r_;
  Tree& tree_;
  std::vector<Node> elements_;
  std::vector<Pending> members_;
};

Tree Tree::read(Reader& r) {
  Tree tree;
  tree.input_ = r.input();
  Builder builder(r, tree);
  tree.root_ = builder.value();
  return tree;
}

std::string_view Tree::text(const Node& string) const {
  return (string.decoded ? std::string_view(decoded_) : input_).substr(string.bits, string.size);
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
      write_integer(out, node.bits);
      break;
    case Kind::signed_int:
      write_integer(out, std::bit_cast<std::int64_t>(node.bits));
      break;
    case Kind::floating:
      write_number(out, std::bit_cast<double>(node.bits));
      break;
    case Kind::string:
      if (node.decoded) {
        write_string(out, text(node));
      } else {
        // Read without an escape, it holds no byte that needs one.
        out += '"';
        out += text(node);
        out += '"';
      }
      break;
    case Kind::array:
      out += '[';
      for (std::size_t k = 0; k < node.size; ++k) {
        if (k > 0) out += ',';
        write(out, elements_[node.bits + k]);
      }
      out += ']';
      break;
    case Kind::object:
      out += '{';
      for (std::size_t k = 0; k < node.size; ++k) {
        if (k > 0) out += ',';
        const Member& m = members_[node.bits + k];
        write(out, m.key);
        out += ':';
        write(out, m.value);
      }
      out += '}';
      break;
  }
}

void write(std::string& out, const Tree& tree) {
  tree.write(out);
}

std::string to_text(const Tree& tree) {
  std::string out;
  tree.write(out);
  return out;
}

}  // namespace quorvel::json
