#include "wizard/pages/wizard_flags.h"

WizardFlags::TreeRebuild WizardFlags::TakeTreeRebuild() {
  if (!rebuildTree) return TreeRebuild::Keep;
  if (!importPending) return TreeRebuild::ReadSite;
  importPending = false;
  return TreeRebuild::ImportFile;
}
