#pragma once
// Recursive walks of a browser's folders. A junction or symbolic link is never entered:
// it may lead back up the tree or into another user's files.

#include <string>
#include <vector>

namespace tarvo::addons {

// `folder` ends with a backslash. The walk takes entries in the file system's order and
// enters each folder as it meets it; a match ends the walk of its own folder only, so a
// later match in a sibling folder replaces an earlier one. Empty when nothing matches.
[[nodiscard]] std::wstring FindFileInTree(const std::wstring& folder, const std::wstring& name);

// The same walk without stopping: every file's full path, appended in walk order.
void ListFilesInTree(const std::wstring& folder, std::vector<std::wstring>& list);

}  // namespace tarvo::addons
