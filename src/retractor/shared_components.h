// "S": releasing one SharedDLLs reference, asking before the last copy goes.
#pragma once

#include <string>

#include "retractor/manifest_run.h"

// The NT key on the older shell, the other one otherwise.
const char* SharedDllsKey(bool legacyShell);
void ReleaseSharedFile(ManifestRun& run);
// kIdYes, kIdYesToAll, kIdNo or kIdCancel; silent mode answers kIdYesToAll unasked.
int SharedFileDialog(ManifestRun& run, const std::string& text);
