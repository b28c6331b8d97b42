// The two flags through which the pages decide whether the tree page rebuilds its tree, and how.
#pragma once

struct WizardFlags {
  bool rebuildTree = true;
  bool importPending = false;

  enum class TreeRebuild { Keep, ReadSite, ImportFile };
  // What the tree page does as it becomes active; an import is taken (cleared) here.
  TreeRebuild TakeTreeRebuild();

  void StartNext() { rebuildTree = true; }
  void StartImport() { importPending = rebuildTree = true; }
  void TreeBack() { rebuildTree = false; }
  void TreeNext() { rebuildTree = true; }
  void ChartOptionsBack() { rebuildTree = false; }
  void ChartOptionsNext() { rebuildTree = true; }
};
