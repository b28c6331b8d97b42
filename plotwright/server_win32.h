// The automation server: one Session per application object a client creates, the IDispatch
// objects that carry its calls into the portable Application, the class factory, the
// server's lock count and its registration.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "plotwright/automation.h"
#include "plotwright/dispatch_ids.h"
#include "plotwright/journal.h"
#include "plotwright/server_options.h"

extern const CLSID kApplicationClassId;

class Session;

// The window that shows the drawings.
class SessionObserver {
public:
  virtual ~SessionObserver() = default;
  virtual void OnSessionStarted(const std::shared_ptr<Session>& session) = 0;
  virtual void OnDrawingChanged(Session& session) = 0;
  virtual void OnRunEnded(Session& session, bool normal) = 0;
};

class AutomationObject;

class Session : public ApplicationEvents, public std::enable_shared_from_this<Session> {
public:
  Session(const ServerOptions& options, HWND mainWindow);
  ~Session() override;

  const Application& app() const { return application; }
  Application& app() { return application; }
  // The object's IDispatch, one per object, with a reference for the caller.
  IDispatch* Wrap(ObjectId id);
  // Which of this session's objects the pointer is; false for anything else.
  bool Find(IUnknown* pointer, ObjectId* id) const;
  // The last reference to the object's IDispatch went: it is destroyed.
  void Forget(ObjectId id);
  // How many calls were answered and the time spent answering them, in performance-counter ticks.
  int callsAnswered() const { return answered; }
  LONGLONG answerTicks() const { return answeringTicks; }
  void CountCall(LONGLONG ticks) {
    ++answered;
    answeringTicks += ticks;
  }

private:
  void OnCall(const std::string& journalLine) override;
  void OnChanged() override;
  void OnRunEnded(bool normal) override;

  Application application;
  std::map<ObjectId, std::unique_ptr<AutomationObject>> objects;
  std::map<const void*, ObjectId> byPointer;
  int answered = 0;
  LONGLONG answeringTicks = 0;
};

struct ServerState {
  ServerOptions options;
  std::unique_ptr<JournalFile> journal;
  SessionObserver* observer = nullptr;
  HWND mainWindow = nullptr;
  LONG locks = 0;
  DWORD classCookie = 0;  // 0: the class object is not offered
  DWORD lastActivity = 0;  // tick of the last user input or of the last client leaving
};

ServerState& Server();
void LockServerProcess(bool lock);
// Offers the class object to COM (multiple use), and withdraws it (once; later calls do nothing).
HRESULT OfferClassObject();
void WithdrawClassObject();
// Writes a line to the journal, when there is one.
void JournalNote(const std::string& line);
// Performance-counter ticks, and their count in a second.
LONGLONG Ticks();
LONGLONG TicksPerSecond();

// Registration under HKLM\Software\Classes, or HKCU\Software\Classes when the machine-wide
// key may not be written; the registered command carries the options' switches.
bool RegisterServer(const ServerOptions& options, std::string* error);
// Removes the registration from both places; true when nothing is left.
bool UnregisterServer(std::string* error);
