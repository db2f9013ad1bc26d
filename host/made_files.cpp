#include "host/made_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/usage_error.h"

namespace fs = std::filesystem;

namespace host {
namespace {

const char* const kStoreSuffixes[] = {"", "-wal", "-shm", "-journal"};

// Last made, first gone; a folder only when it is empty.
void Remove(const std::vector<fs::path>& paths) {
  std::error_code ec;
  for (auto it = paths.rbegin(); it != paths.rend(); ++it) fs::remove(*it, ec);
}

}  // namespace

MadeFiles::MadeFiles(std::string list) : list_(std::move(list)) {
  std::ifstream in(list_, std::ios::binary);
  if (!in) return;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<fs::path> left;
  // One path after another, each ended by a NUL: a path may hold any other character.
  for (size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
    left.emplace_back(text.substr(start, end - start));
  }
  Remove(left);
  std::error_code ec;
  fs::remove(list_, ec);
}

MadeFiles::~MadeFiles() {
  if (kept_) return;
  Remove(made_);
  std::error_code ec;
  fs::remove(list_, ec);
}

void MadeFiles::Record(const fs::path& path, bool listed) {
  if (listed) {
    std::ofstream out(list_, std::ios::binary | std::ios::app);
    out << path.string() << '\0';
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + list_);
  }
  made_.push_back(path);
}

void MadeFiles::Folders(const fs::path& path) {
  std::vector<fs::path> missing;
  for (fs::path p = path; !p.empty() && !fs::exists(p); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) Record(*it, true);
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec) throw UsageError("cannot create folder " + path.string() + ": " + ec.message());
}

void MadeFiles::File(const std::string& path) { Record(path, true); }

void MadeFiles::Store(const std::string& path) {
  for (const char* suffix : kStoreSuffixes) Record(path + suffix, true);
}

void MadeFiles::SharedStore(const std::string& path) {
  for (const char* suffix : kStoreSuffixes) Record(path + suffix, false);
}

void MadeFiles::Keep() {
  std::error_code ec;
  if (!fs::remove(list_, ec) && ec) throw std::runtime_error("cannot remove " + list_ + ": " + ec.message());
  kept_ = true;
}

}  // namespace host
