#pragma once
// The nodes of a tree view: string keys, parents, and 1-based indices in the order of adding,
// with the errors of the common control's Nodes collection.
#include <string>
#include <vector>

namespace forms {

struct TreeNode {
  int index = 0;
  std::string key, text;
  int parent = 0;  // 0: a root node
  std::vector<int> children;
};

class TreeNodes {
 public:
  // A root node (relative empty) or the last child of the node keyed relative. An empty key
  // leaves the node without one. Raises 35601 for an unknown relative, 35602 for a key in
  // use, 35603 for a key that begins with a digit. Returns the new node's index.
  int Add(const std::string& relative, const std::string& key, const std::string& text);
  void Clear();
  int Count() const { return static_cast<int>(nodes_.size()); }
  const TreeNode& Item(int index) const;  // raises 35600 when out of range
  // 0 when none.
  int IndexOfKey(const std::string& key) const;
  // The node reached from a root through children by their texts joined by "|"; 0 when none.
  int FindPath(const std::string& path) const;
  // Every node as a line of its text, indented two blanks per level, in tree order.
  std::vector<std::string> Lines() const;

  int selected = 0;  // the selected node's index, 0 when none

 private:
  std::vector<TreeNode> nodes_;
  std::vector<int> roots_;
};

}  // namespace forms
