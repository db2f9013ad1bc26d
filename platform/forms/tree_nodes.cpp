#include "platform/forms/tree_nodes.h"

#include <cctype>
#include <functional>

#include "platform/com/com_error.h"

namespace forms {

int TreeNodes::Add(const std::string& relative, const std::string& key, const std::string& text) {
  int parent = 0;
  if (!relative.empty()) {
    parent = IndexOfKey(relative);
    if (parent == 0) com::Raise(35601, "Element not found");
  }
  if (!key.empty()) {
    if (std::isdigit(static_cast<unsigned char>(key[0]))) com::Raise(35603, "Invalid key");
    if (IndexOfKey(key) != 0) com::Raise(35602, "Key is not unique in collection");
  }
  TreeNode node;
  node.index = Count() + 1;
  node.key = key;
  node.text = text;
  node.parent = parent;
  nodes_.push_back(node);
  if (parent == 0) roots_.push_back(node.index);
  else nodes_[static_cast<size_t>(parent - 1)].children.push_back(node.index);
  return node.index;
}

void TreeNodes::Clear() {
  nodes_.clear();
  roots_.clear();
  selected = 0;
}

const TreeNode& TreeNodes::Item(int index) const {
  if (index < 1 || index > Count()) com::Raise(35600, "Index out of bounds");
  return nodes_[static_cast<size_t>(index - 1)];
}

int TreeNodes::IndexOfKey(const std::string& key) const {
  for (const auto& n : nodes_) {
    if (n.key == key) return n.index;
  }
  return 0;
}

int TreeNodes::FindPath(const std::string& path) const {
  const std::vector<int>* level = &roots_;
  int found = 0;
  size_t pos = 0;
  for (;;) {
    const size_t bar = path.find('|', pos);
    const std::string part = path.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos);
    found = 0;
    for (int i : *level) {
      if (Item(i).text == part) {
        found = i;
        break;
      }
    }
    if (found == 0 || bar == std::string::npos) return found;
    level = &Item(found).children;
    pos = bar + 1;
  }
}

std::vector<std::string> TreeNodes::Lines() const {
  std::vector<std::string> out;
  std::function<void(int, size_t)> walk = [&](int index, size_t depth) {
    out.push_back(std::string(2 * depth, ' ') + Item(index).text);
    for (int child : Item(index).children) walk(child, depth + 1);
  };
  for (int root : roots_) walk(root, 0);
  return out;
}

}  // namespace forms
