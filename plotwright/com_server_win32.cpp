#include <algorithm>
#include <vector>

#include "plotwright/server_win32.h"
#include "plotwright/utf8.h"

#include <oleauto.h>

// {6E2B9A4C-3D71-4F85-A0C2-9B17E4D5F830}
const CLSID kApplicationClassId = {0x6e2b9a4c, 0x3d71, 0x4f85, {0xa0, 0xc2, 0x9b, 0x17, 0xe4, 0xd5, 0xf8, 0x30}};

namespace {

std::vector<std::shared_ptr<Session>>& Sessions() {
  static std::vector<std::shared_ptr<Session>> sessions;
  return sessions;
}

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "a BSTR holds UTF-16");

// Texts cross in UTF-16 and are kept in UTF-8, so that any character a client sends is kept.
std::string Narrow(const wchar_t* text, UINT length) {
  if (!text || !length) return {};
  return Utf8FromUtf16(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

BSTR Widen(const std::string& text) {
  std::u16string wide = Utf16Of(text);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), UINT(wide.size()));
}

// An argument as the portable core takes it. References are followed; the numeric types
// the core does not name become I4 or R8, as automation would coerce them.
Value ToValue(const Session& session, const VARIANT& given) {
  VARIANT v;
  VariantInit(&v);
  if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&given)))) return Value::Other();
  if (V_VT(&v) == VT_VARIANT) return Value::Other();
  Value out;
  switch (V_VT(&v)) {
    case VT_EMPTY: break;
    case VT_ERROR: if (V_ERROR(&v) != DISP_E_PARAMNOTFOUND) out = Value::Other(); break;
    case VT_BOOL: out = Value::Bool(V_BOOL(&v) != VARIANT_FALSE); break;
    case VT_I2: out = Value::I2(V_I2(&v)); break;
    case VT_I4: out = Value::I4(V_I4(&v)); break;
    case VT_INT: out = Value::I4(V_INT(&v)); break;
    case VT_I1: out = Value::I4(V_I1(&v)); break;
    case VT_UI1: out = Value::I4(V_UI1(&v)); break;
    case VT_UI2: out = Value::I4(V_UI2(&v)); break;
    case VT_R8: out = Value::R8(V_R8(&v)); break;
    case VT_BSTR: out = Value::Text(Narrow(V_BSTR(&v), SysStringLen(V_BSTR(&v)))); break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      ObjectId id;
      out = session.Find(V_UNKNOWN(&v), &id) ? Value::Object(id) : Value::Other();
      break;
    }
    default: {
      VARIANT real;
      VariantInit(&real);
      out = SUCCEEDED(VariantChangeType(&real, &v, 0, VT_R8)) ? Value::R8(V_R8(&real)) : Value::Other();
      VariantClear(&real);
    }
  }
  VariantClear(&v);
  return out;
}

void ToVariant(Session& session, const Value& value, VARIANT* out) {
  VariantInit(out);
  switch (value.type) {
    case ValueType::Bool: V_VT(out) = VT_BOOL; V_BOOL(out) = value.flag ? VARIANT_TRUE : VARIANT_FALSE; break;
    case ValueType::I2: V_VT(out) = VT_I2; V_I2(out) = static_cast<SHORT>(value.integer); break;
    case ValueType::I4: V_VT(out) = VT_I4; V_I4(out) = value.integer; break;
    case ValueType::R8: V_VT(out) = VT_R8; V_R8(out) = value.real; break;
    case ValueType::Text: V_VT(out) = VT_BSTR; V_BSTR(out) = Widen(value.text); break;
    case ValueType::Object: V_VT(out) = VT_DISPATCH; V_DISPATCH(out) = session.Wrap(value.object); break;
    case ValueType::Empty:
    case ValueType::Other: break;
  }
}

}  // namespace

// One object of a session as a client sees it: late-bound calls by DISPID only.
class AutomationObject : public IDispatch {
public:
  AutomationObject(Session& owner, ObjectId object) : session(owner), id(object) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs;
    if (left == 0) session.Forget(id);  // destroys this object
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override;

private:
  Session& session;
  ObjectId id;
  ULONG refs = 0;
};

HRESULT AutomationObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError) {
  // The stand-in's own share of every call, kept so that a run can say what it cost here.
  struct Timed {
    Session& session;
    LONGLONG start = Ticks();
    ~Timed() { session.CountCall(Ticks() - start); }
  } timed{session};
  bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  UINT count = params ? params->cArgs : 0;
  UINT named = params ? params->cNamedArgs : 0;
  if ((count && !params->rgvarg) || named > count || (named && !params->rgdispidNamedArgs)) return E_INVALIDARG;
  if (named > 1 || (named == 1 && (!put || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
    return DISP_E_NONAMEDARGS;
  // rgvarg holds the arguments last first, a put's value (the one named argument) at 0.
  std::vector<Value> args;
  for (UINT i = count; i-- > 0;) args.push_back(ToValue(session, params->rgvarg[i]));

  Application& app = session.app();
  CallKind kind = app.Resolve(id, dispid, put, flags & DISPATCH_PROPERTYGET, flags & DISPATCH_METHOD);
  CallResult r = app.Invoke(id, dispid, kind, args);
  switch (r.status) {
    case CallStatus::Ok:
      if (result) ToVariant(session, r.value, result);
      return S_OK;
    case CallStatus::UnknownMember: return DISP_E_MEMBERNOTFOUND;
    case CallStatus::BadArgCount: return DISP_E_BADPARAMCOUNT;
    case CallStatus::TypeMismatch:
      if (argError) *argError = count - 1 - r.badArg;
      return DISP_E_TYPEMISMATCH;
    case CallStatus::Failed: break;
  }
  if (exception) {
    *exception = EXCEPINFO{};
    exception->scode = E_FAIL;
    exception->bstrSource = Widen("Plotwright");
    exception->bstrDescription = Widen(r.message);
  }
  return DISP_E_EXCEPTION;
}

Session::Session(const ServerOptions& options, HWND mainWindow)
    : application(ApplicationSettings{options.version, options.failAt}, this) {
  application.SetMainWindow(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(mainWindow)));
}

Session::~Session() = default;

IDispatch* Session::Wrap(ObjectId id) {
  auto found = objects.find(id);
  if (found == objects.end()) {
    auto object = std::make_unique<AutomationObject>(*this, id);
    byPointer[static_cast<IDispatch*>(object.get())] = id;
    found = objects.emplace(id, std::move(object)).first;
    LockServerProcess(true);
  }
  found->second->AddRef();
  return found->second.get();
}

bool Session::Find(IUnknown* pointer, ObjectId* id) const {
  auto found = byPointer.find(static_cast<const void*>(pointer));
  if (found == byPointer.end()) return false;
  *id = found->second;
  return true;
}

void Session::Forget(ObjectId id) {
  auto keep = shared_from_this();
  auto found = objects.find(id);
  if (found == objects.end()) return;
  byPointer.erase(static_cast<IDispatch*>(found->second.get()));
  objects.erase(found);
  if (objects.empty()) {
    auto& all = Sessions();
    all.erase(std::remove(all.begin(), all.end(), keep), all.end());
  }
  LockServerProcess(false);
}

void Session::OnCall(const std::string& journalLine) { JournalNote(journalLine); }

void Session::OnChanged() {
  if (Server().observer) Server().observer->OnDrawingChanged(*this);
}

void Session::OnRunEnded(bool normal) {
  if (Server().observer) Server().observer->OnRunEnded(*this, normal);
}

ServerState& Server() {
  static ServerState state;
  return state;
}

void LockServerProcess(bool lock) {
  ServerState& s = Server();
  s.locks += lock ? 1 : -1;
  if (s.locks == 0) s.lastActivity = GetTickCount();
}

LONGLONG Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG TicksPerSecond() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

void JournalNote(const std::string& line) {
  if (Server().journal) Server().journal->Write(line);
}

namespace {

class ClassFactory : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The factory lives as long as the process; COM's references to it do not keep the server.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto session = std::make_shared<Session>(Server().options, Server().mainWindow);
    Sessions().push_back(session);
    if (Server().observer) Server().observer->OnSessionStarted(session);
    IDispatch* application = session->Wrap({ObjectKind::Application, 0});
    HRESULT hr = application->QueryInterface(riid, out);
    application->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    LockServerProcess(lock != FALSE);
    return S_OK;
  }
};

ClassFactory factory;

}  // namespace

HRESULT OfferClassObject() {
  return CoRegisterClassObject(kApplicationClassId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                               &Server().classCookie);
}

void WithdrawClassObject() {
  if (Server().classCookie) CoRevokeClassObject(Server().classCookie);
  Server().classCookie = 0;
}
