// The numbered message boxes of the wizard, as the portable core sees them.
#pragma once
#include <string>

class MessagePort {
public:
  virtual ~MessagePort() = default;
  // A message box with the string-table text stringId, captioned by string 119, OK button.
  virtual void ShowMessage(int stringId) = 0;
  // The system's file-error box for a read or write error in the middle of a file.
  virtual void ShowFileError(const std::string& /*path*/) {}
};
