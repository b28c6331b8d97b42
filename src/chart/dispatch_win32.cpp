// Late-bound automation: every call goes through IDispatch::Invoke by DISPID. Texts cross
// as BSTRs converted from and to the ANSI code page, or from UTF-8 when a text says it is.
#include "chart/dispatch_win32.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "common/text.h"

namespace {

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "a BSTR holds UTF-16");

std::u16string Utf16FromAnsi(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::u16string wide(size_t(size > 0 ? size : 0), u'\0');
  if (size > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), reinterpret_cast<LPWSTR>(wide.data()), size);
  return wide;
}

BSTR ToBstr(const AutoValue& text) {
  std::u16string wide = text.utf8 ? Utf16FromUtf8(text.text) : Utf16FromAnsi(text.text);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), UINT(wide.size()));
}

std::string FromBstr(BSTR text) {
  int length = int(SysStringLen(text));
  if (length == 0) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

// Arguments in Invoke's order (last first), cleared together.
class VariantList {
public:
  explicit VariantList(size_t count) : items(count) {
    for (VARIANT& v : items) VariantInit(&v);
  }
  ~VariantList() {
    for (VARIANT& v : items) VariantClear(&v);
  }
  VariantList(const VariantList&) = delete;
  VariantList& operator=(const VariantList&) = delete;
  VARIANT* Data() { return items.empty() ? nullptr : items.data(); }
  VARIANT& operator[](size_t i) { return items[i]; }
  UINT Count() const { return UINT(items.size()); }

private:
  std::vector<VARIANT> items;
};

struct VariantValue {
  VARIANT v;
  VariantValue() { VariantInit(&v); }
  ~VariantValue() { VariantClear(&v); }
  VariantValue(const VariantValue&) = delete;
  VariantValue& operator=(const VariantValue&) = delete;
};

class ComDispatch : public DispatchObject {
public:
  explicit ComDispatch(IDispatch* owned) : dispatch(owned) {}
  ~ComDispatch() override { dispatch->Release(); }
  ComDispatch(const ComDispatch&) = delete;
  ComDispatch& operator=(const ComDispatch&) = delete;

  IDispatch* Interface() const { return dispatch; }

  DispatchResult Get(int dispid, AutoType type) override {
    VariantValue result;
    if (!Invoke(dispid, DISPATCH_PROPERTYGET, {}, false, &result.v)) return {};
    return Convert(result.v, type);
  }

  bool Put(int dispid, const AutoValue& value) override {
    return Invoke(dispid, DISPATCH_PROPERTYPUT, {value}, true, nullptr);
  }

  DispatchResult Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) override {
    VariantValue result;
    if (!Invoke(dispid, DISPATCH_METHOD, args, false, &result.v)) return {};
    if (resultType == AutoType::Empty) return {true, {}};
    return Convert(result.v, resultType);
  }

private:
  bool Invoke(int dispid, WORD flags, const std::vector<AutoValue>& args, bool put, VARIANT* result) {
    VariantList list(args.size());
    for (size_t i = 0; i < args.size(); ++i)
      if (!ToVariant(args[i], list[args.size() - 1 - i])) return false;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {list.Data(), put ? &named : nullptr, list.Count(), put ? 1u : 0u};
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    HRESULT hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception,
                                  &argumentError);
    if (hr == DISP_E_EXCEPTION) {
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    }
    return SUCCEEDED(hr);
  }

  static bool ToVariant(const AutoValue& value, VARIANT& out) {
    // A parameter declared VARIANT takes the value as it is: the callee reads its type.
    switch (value.type) {
      case AutoType::Empty: return true;
      case AutoType::Text:
        out.vt = VT_BSTR;
        out.bstrVal = ToBstr(value);
        return out.bstrVal != nullptr;
      case AutoType::I2:
        out.vt = VT_I2;
        out.iVal = SHORT(value.integer);
        return true;
      case AutoType::I4:
        out.vt = VT_I4;
        out.lVal = LONG(value.integer);
        return true;
      case AutoType::R8:
        out.vt = VT_R8;
        out.dblVal = value.real;
        return true;
      case AutoType::Bool:
        out.vt = VT_BOOL;
        out.boolVal = value.integer ? VARIANT_TRUE : VARIANT_FALSE;
        return true;
      case AutoType::Object: {
        auto* com = dynamic_cast<ComDispatch*>(value.object.get());
        if (!com) return false;
        out.vt = VT_DISPATCH;
        out.pdispVal = com->Interface();
        out.pdispVal->AddRef();  // the list's VariantClear releases it
        return true;
      }
    }
    return false;
  }

  static DispatchResult Convert(VARIANT& value, AutoType type) {
    if (type == AutoType::Object) {
      if ((value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN) || !value.punkVal) return {};
      IDispatch* object = nullptr;
      if (FAILED(value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object))) || !object)
        return {};
      return {true, AutoValue::Object(std::make_shared<ComDispatch>(object))};
    }
    static const VARTYPE kTypes[] = {VT_EMPTY, VT_BSTR, VT_I2, VT_I4, VT_R8, VT_BOOL};
    VariantValue converted;
    if (type == AutoType::Empty || FAILED(VariantChangeType(&converted.v, &value, 0, kTypes[int(type)]))) return {};
    switch (type) {
      case AutoType::Text: return {true, AutoValue::Text(FromBstr(converted.v.bstrVal))};
      case AutoType::I2: return {true, AutoValue::I2(converted.v.iVal)};
      case AutoType::I4: return {true, AutoValue::I4(converted.v.lVal)};
      case AutoType::R8: return {true, AutoValue::R8(converted.v.dblVal)};
      case AutoType::Bool: return {true, AutoValue::Bool(converted.v.boolVal != VARIANT_FALSE)};
      default: return {};
    }
  }

  IDispatch* dispatch;
};

}  // namespace

DispatchPtr CreateAutomationObject(const std::string& progId) {
  std::u16string name = Utf16FromAnsi(progId);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(name.c_str()), &clsid);
  if (FAILED(hr)) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&unknown))) ||
      !unknown)
    return nullptr;
  IDispatch* dispatch = nullptr;
  hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  unknown->Release();
  if (FAILED(hr) || !dispatch) return nullptr;
  return std::make_shared<ComDispatch>(dispatch);
}
