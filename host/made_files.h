#pragma once
// What a new profile has made so far, taken away again unless it is kept: a failed init leaves
// nothing behind, so it can simply be tried again. The list is also written to a file before
// each thing is made, so an init that was killed part-way is undone by the next one.
#include <filesystem>
#include <string>
#include <vector>

namespace host {

class MadeFiles {
 public:
  // First takes away what an init cut short left listed in the file `list`. The caller holds
  // the profile, so no other init is under way.
  explicit MadeFiles(std::string list);
  ~MadeFiles();  // takes everything away again unless it was kept
  MadeFiles(const MadeFiles&) = delete;
  MadeFiles& operator=(const MadeFiles&) = delete;

  // Records the folders of path that do not exist yet, then makes them.
  void Folders(const std::filesystem::path& path);
  void File(const std::string& path);
  // A store file with the files SQLite keeps beside it.
  void Store(const std::string& path);
  // Undone by this init only, never by a later one: others may have begun to share it since.
  void SharedStore(const std::string& path);
  // Done: the list goes. Raises when it cannot, and then everything is taken away.
  void Keep();

 private:
  void Record(const std::filesystem::path& path, bool listed);

  std::string list_;
  std::vector<std::filesystem::path> made_;
  bool kept_ = false;
};

}  // namespace host
