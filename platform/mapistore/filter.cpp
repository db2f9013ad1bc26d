#include "platform/mapistore/filter.h"

#include <algorithm>
#include <cctype>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/store_errors.h"

namespace mapistore {

void RaiseBadFilter(const std::string& text, size_t position, const std::string& why) {
  com::Raise(kErrBadCondition, "Cannot parse condition. " + why + " at position " + std::to_string(position + 1) +
                                   ": \"" + text.substr(std::min(position, text.size())) + "\"");
}

namespace {

// Far beyond any filter the add-in builds; deeper or longer texts are refused before they could
// exhaust the stack of the parser, of the compiler to SQL or of the tree's own destructor.
constexpr int kMaxNesting = 200;
constexpr int kMaxComparisons = 1000;

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  FilterNode Parse() {
    FilterNode node = Or();
    Skip();
    if (pos_ < s_.size()) Fail("Unexpected text");
    return node;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) { RaiseBadFilter(s_, pos_, why); }

  void Skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }

  bool Keyword(const char* word) {
    Skip();
    const std::string w(word);
    if (s_.size() - pos_ < w.size() || !com::EqualsNoCase(std::string_view(s_).substr(pos_, w.size()), w)) {
      return false;
    }
    const size_t end = pos_ + w.size();
    if (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_')) return false;
    pos_ = end;
    return true;
  }

  FilterNode Join(FilterNode::Kind kind, FilterNode left, FilterNode right) {
    FilterNode n;
    n.kind = kind;
    n.children.push_back(std::move(left));
    n.children.push_back(std::move(right));
    return n;
  }

  FilterNode Or() {
    FilterNode left = And();
    while (Keyword("Or")) left = Join(FilterNode::Kind::Or, std::move(left), And());
    return left;
  }

  FilterNode And() {
    FilterNode left = Unary();
    while (Keyword("And")) left = Join(FilterNode::Kind::And, std::move(left), Unary());
    return left;
  }

  FilterNode Unary() {
    if (Keyword("Not")) {
      FilterNode n;
      n.kind = FilterNode::Kind::Not;
      Enter();
      n.children.push_back(Unary());
      --nesting_;
      return n;
    }
    Skip();
    if (pos_ < s_.size() && s_[pos_] == '(') {
      Enter();
      ++pos_;
      FilterNode inner = Or();
      Skip();
      if (pos_ >= s_.size() || s_[pos_] != ')') Fail("Missing closing parenthesis");
      ++pos_;
      --nesting_;
      return inner;
    }
    return Comparison();
  }

  void Enter() {
    if (++nesting_ > kMaxNesting) Fail("Too deeply nested");
  }

  FilterNode Comparison() {
    FilterNode n;
    Skip();
    n.position = pos_;
    if (++comparisons_ > kMaxComparisons) Fail("Too many comparisons");
    if (pos_ >= s_.size() || s_[pos_] != '[') Fail("Expected a property in brackets");
    const size_t close = s_.find(']', pos_);
    if (close == std::string::npos) Fail("Missing closing bracket");
    n.property = com::Trim(s_.substr(pos_ + 1, close - pos_ - 1));
    if (n.property.empty()) Fail("Empty property name");
    pos_ = close + 1;
    Skip();
    for (const char* op : {"<>", "<=", ">=", "=", "<", ">"}) {
      if (s_.compare(pos_, std::string(op).size(), op) == 0) {
        n.op = op;
        pos_ += n.op.size();
        break;
      }
    }
    if (n.op.empty()) Fail("Expected a comparison operator");
    Skip();
    if (pos_ >= s_.size()) Fail("Expected a value");
    const char q = s_[pos_];
    if (q == '"' || q == '\'') {
      ++pos_;
      for (;;) {
        if (pos_ >= s_.size()) Fail("Missing closing quotation mark");
        if (s_[pos_] == q) {
          if (pos_ + 1 < s_.size() && s_[pos_ + 1] == q) {  // doubled quote stands for itself
            n.value += q;
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        // Up to the next quote at once: a value is usually an entry ID.
        const size_t quote = std::min(s_.find(q, pos_), s_.size());
        n.value.append(s_, pos_, quote - pos_);
        pos_ = quote;
      }
      n.quoted = true;
    } else {
      const size_t start = pos_;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.' ||
                                  s_[pos_] == '-' || s_[pos_] == '_')) {
        ++pos_;
      }
      if (pos_ == start) Fail("Expected a value");
      n.value = s_.substr(start, pos_ - start);
    }
    return n;
  }

  const std::string& s_;
  size_t pos_ = 0;
  int nesting_ = 0;
  int comparisons_ = 0;
};

}  // namespace

FilterNode ParseFilter(const std::string& text) { return Parser(text).Parse(); }

}  // namespace mapistore
