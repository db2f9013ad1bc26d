#include "platform/win32/registry_file.h"

#include <cstdio>
#include <sstream>

namespace win32 {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kRoot = "HKEY_CURRENT_USER";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool PrintableText(const Bytes& data) {
  for (uint8_t b : data) {
    if (b < 0x20 || b == 0x7f) return false;
  }
  return true;
}

std::string HexList(const Bytes& data) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", data[i]);
    if (i) out += ',';
    out += buf;
  }
  return out;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

class LineParser {
 public:
  LineParser(const std::string& file, int line, const std::string& text) : file_(file), line_(line), s_(text) {}

  [[noreturn]] void Fail(const std::string& what) const { throw RegistryParseError(file_, line_, what); }

  std::string QuotedString() {
    if (pos_ >= s_.size() || s_[pos_] != '"') Fail("expected a quoted text");
    ++pos_;
    std::string out;
    while (pos_ < s_.size() && s_[pos_] != '"') {
      if (s_[pos_] == '\\') {
        if (++pos_ >= s_.size()) Fail("unfinished escape");
      }
      out += s_[pos_++];
    }
    if (pos_ >= s_.size()) Fail("missing closing quotation mark");
    ++pos_;
    return out;
  }

  void Expect(char c) {
    if (pos_ >= s_.size() || s_[pos_] != c) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  bool Consume(const std::string& word) {
    if (s_.compare(pos_, word.size(), word) != 0) return false;
    pos_ += word.size();
    return true;
  }

  Bytes HexBytes() {
    Bytes out;
    while (pos_ < s_.size()) {
      if (pos_ + 1 >= s_.size()) Fail("bad hex byte");
      const int hi = HexDigit(s_[pos_]), lo = HexDigit(s_[pos_ + 1]);
      if (hi < 0 || lo < 0) Fail("bad hex byte");
      out.push_back(static_cast<uint8_t>(hi * 16 + lo));
      pos_ += 2;
      if (pos_ < s_.size()) Expect(',');
    }
    return out;
  }

  DWORD Number(int base) {
    size_t start = pos_;
    while (pos_ < s_.size() && HexDigit(s_[pos_]) >= 0 && (base == 16 || HexDigit(s_[pos_]) < 10)) ++pos_;
    if (start == pos_ || pos_ - start > 8) Fail("bad number");
    return static_cast<DWORD>(std::stoul(s_.substr(start, pos_ - start), nullptr, base));
  }

  bool AtEnd() const { return pos_ >= s_.size(); }

 private:
  const std::string& file_;
  int line_;
  const std::string& s_;
  size_t pos_ = 0;
};

std::string StripCr(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

RegistryValue* RegistryKey::Find(const std::string& name) {
  for (auto& v : values) {
    if (com::EqualsNoCase(v.name, name)) return &v;
  }
  return nullptr;
}

RegistryParseError::RegistryParseError(const std::string& file, int line, const std::string& what)
    : std::runtime_error("registry file " + file + ", line " + std::to_string(line) + ": " + what), line_(line) {}

RegistryTree ParseRegistryText(const std::string& text, const std::string& fileName) {
  RegistryTree tree;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  RegistryKey* key = nullptr;
  bool sawHeader = false;
  while (std::getline(in, raw)) {
    ++lineNo;
    std::string line = StripCr(raw);
    const int firstLine = lineNo;
    // Long hex lists continue on the next line after a trailing backslash.
    while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      line.pop_back();
      if (!std::getline(in, raw)) break;
      ++lineNo;
      line += com::Trim(StripCr(raw));
    }
    if (!sawHeader) {
      if (lineNo == 1 && line.size() >= 3 && static_cast<uint8_t>(line[0]) == 0xEF) line = line.substr(3);
      if (line != kHeader) throw RegistryParseError(fileName, firstLine, std::string("expected \"") + kHeader + "\"");
      sawHeader = true;
      continue;
    }
    if (com::Trim(line).empty() || line[0] == ';') continue;
    LineParser p(fileName, firstLine, line);
    if (line[0] == '[') {
      if (line.back() != ']') p.Fail("key line does not end with ']'");
      std::string path = line.substr(1, line.size() - 2);
      if (!path.empty() && path[0] == '-') p.Fail("key deletion is not supported here");
      const std::string root = kRoot;
      if (path.compare(0, root.size(), root) != 0) p.Fail("only HKEY_CURRENT_USER keys are kept here");
      path = path.substr(root.size());
      if (!path.empty() && path[0] == '\\') path = path.substr(1);
      key = &tree[path];
      continue;
    }
    if (!key) p.Fail("value outside of any key");
    RegistryValue value;
    if (line[0] == '@') {
      p.Expect('@');
    } else {
      value.name = p.QuotedString();
    }
    p.Expect('=');
    if (p.Consume("dword:")) {
      value.type = REG_DWORD;
      value.data = DwordBytes(p.Number(16));
    } else if (p.Consume("hex(")) {
      value.type = p.Number(16);
      p.Expect(')');
      p.Expect(':');
      value.data = p.HexBytes();
    } else if (p.Consume("hex:")) {
      value.type = REG_BINARY;
      value.data = p.HexBytes();
    } else {
      value.type = REG_SZ;
      const std::string s = p.QuotedString();
      value.data.assign(s.begin(), s.end());
    }
    if (!p.AtEnd()) p.Fail("unexpected text after the value");
    if (RegistryValue* existing = key->Find(value.name)) {
      *existing = std::move(value);
    } else {
      key->values.push_back(std::move(value));
    }
  }
  if (!sawHeader) throw RegistryParseError(fileName, 1, std::string("expected \"") + kHeader + "\"");
  return tree;
}

std::string WriteRegistryText(const RegistryTree& tree) {
  std::string out = std::string(kHeader) + "\n";
  for (const auto& [path, key] : tree) {
    out += "\n[" + std::string(kRoot) + (path.empty() ? "" : "\\" + path) + "]\n";
    for (const auto& v : key.values) {
      out += v.name.empty() ? "@=" : Quote(v.name) + "=";
      if (v.type == REG_SZ && PrintableText(v.data)) {
        out += Quote(std::string(v.data.begin(), v.data.end()));
      } else if (v.type == REG_DWORD && v.data.size() == 4) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", BytesToDword(v.data));
        out += buf;
      } else if (v.type == REG_BINARY) {
        out += "hex:" + HexList(v.data);
      } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        out += buf + HexList(v.data);
      }
      out += "\n";
    }
  }
  return out;
}

}  // namespace win32
