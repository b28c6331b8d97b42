// Calls the automation server by ProgID and DISPID as a script says, one call per line, and
// prints one result line per call.
//   create                                  creates "tesselplot.application" as object app
//   [NAME=]OBJECT<TAB>DISPID<TAB>get|put|call[<TAB>ARG]...
//       ARG: T:text I2:n I4:n R8:x B:0|1 O:name; a leading @ passes it by reference in a VARIANT
//       NAME= keeps an object result under that name
//   release NAME                            releases an object
//   bench COUNT OBJECT DISPID               COUNT property gets; prints calls per second
// Results: "OK value" (texts as they are, objects as "object"), or "ERR 0xHRESULT description".
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = line.find(separator, start);
    out.push_back(line.substr(start, at - start));
    if (at == std::string::npos) return out;
    start = at + 1;
  }
}

BSTR Wide(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, size);
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out, size);
  return out;
}

std::string Narrow(BSTR text) {
  int length = int(SysStringLen(text));
  int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

class Client {
public:
  ~Client() {
    for (auto& [name, object] : objects) object->Release();
  }

  void Run(const std::string& line) {
    std::vector<std::string> f = Split(line, '\t');
    if (line.empty() || line[0] == '#') return;
    if (f[0] == "create") return Create();
    if (f[0].rfind("release ", 0) == 0) return Release(f[0].substr(8));
    if (f[0].rfind("bench ", 0) == 0) return Bench(Split(f[0], ' '));
    std::string keep;
    std::string target = f[0];
    if (std::size_t eq = target.find('='); eq != std::string::npos) {
      keep = target.substr(0, eq);
      target = target.substr(eq + 1);
    }
    if (f.size() < 3 || !objects.count(target)) {
      std::printf("BAD %s\n", line.c_str());
      return;
    }
    std::vector<std::string> args(f.begin() + 3, f.end());
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Invoke(objects[target], std::atoi(f[1].c_str()), f[2], args, &result);
    Print(hr, result, keep);
    VariantClear(&result);
  }

private:
  void Create() {
    CLSID clsid;
    IDispatch* app = nullptr;
    HRESULT hr = CLSIDFromProgID(L"tesselplot.application", &clsid);
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, (void**)&app);
    if (FAILED(hr)) {
      std::printf("ERR 0x%08lX create\n", static_cast<unsigned long>(hr));
      return;
    }
    objects["app"] = app;
    std::printf("OK object\n");
  }

  void Release(const std::string& name) {
    auto found = objects.find(name);
    if (found != objects.end()) {
      found->second->Release();
      objects.erase(found);
    }
    std::printf("OK released\n");
  }

  void Bench(const std::vector<std::string>& f) {
    if (f.size() < 4 || !objects.count(f[2])) return (void)std::printf("BAD bench\n");
    int count = std::atoi(f[1].c_str());
    DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i) {
      VARIANT result;
      VariantInit(&result);
      HRESULT hr = Invoke(objects[f[2]], std::atoi(f[3].c_str()), "get", {}, &result);
      VariantClear(&result);
      if (FAILED(hr)) return (void)std::printf("ERR 0x%08lX bench\n", static_cast<unsigned long>(hr));
    }
    DWORD ms = GetTickCount() - start;
    std::printf("OK %d calls in %lu ms\n", count, static_cast<unsigned long>(ms));
  }

  bool Argument(const std::string& text, VARIANT* v) {
    VariantInit(v);
    std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    std::string type = text.substr(0, colon), value = text.substr(colon + 1);
    if (type == "T") {
      V_VT(v) = VT_BSTR;
      V_BSTR(v) = Wide(value);
    } else if (type == "I2") {
      V_VT(v) = VT_I2;
      V_I2(v) = static_cast<SHORT>(std::atoi(value.c_str()));
    } else if (type == "I4") {
      V_VT(v) = VT_I4;
      V_I4(v) = std::atol(value.c_str());
    } else if (type == "R8") {
      V_VT(v) = VT_R8;
      V_R8(v) = std::strtod(value.c_str(), nullptr);
    } else if (type == "B") {
      V_VT(v) = VT_BOOL;
      V_BOOL(v) = value == "1" ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (type == "O" && objects.count(value)) {
      V_VT(v) = VT_DISPATCH;
      V_DISPATCH(v) = objects[value];
      V_DISPATCH(v)->AddRef();
    } else {
      return false;
    }
    return true;
  }

  HRESULT Invoke(IDispatch* target, DISPID dispid, const std::string& kind, const std::vector<std::string>& texts,
                 VARIANT* result) {
    std::vector<VARIANT> values(texts.size()), holders(texts.size());
    std::vector<VARIANT> args(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      bool byRef = !texts[i].empty() && texts[i][0] == '@';
      // Arguments go last first.
      VARIANT& slot = args[texts.size() - 1 - i];
      if (!Argument(texts[i].substr(byRef ? 1 : 0), &values[i])) return E_INVALIDARG;
      if (byRef) {
        VariantInit(&slot);
        V_VT(&slot) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&slot) = &values[i];
      } else {
        slot = values[i];
      }
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {args.data(), nullptr, UINT(args.size()), 0};
    WORD flags = DISPATCH_METHOD;
    if (kind == "get") flags = DISPATCH_PROPERTYGET;
    if (kind == "put") {
      flags = DISPATCH_PROPERTYPUT;
      params.rgdispidNamedArgs = &putId;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    UINT argError = 0;
    HRESULT hr = target->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception, &argError);
    for (VARIANT& v : values) VariantClear(&v);
    if (hr == DISP_E_EXCEPTION) {
      description = exception.bstrDescription ? Narrow(exception.bstrDescription) : "";
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    } else {
      description.clear();
    }
    return hr;
  }

  void Print(HRESULT hr, VARIANT& result, const std::string& keep) {
    if (FAILED(hr)) {
      std::printf("ERR 0x%08lX %s\n", static_cast<unsigned long>(hr), description.c_str());
      return;
    }
    switch (V_VT(&result)) {
      case VT_EMPTY: std::printf("OK\n"); break;
      case VT_BSTR: std::printf("OK %s\n", Narrow(V_BSTR(&result)).c_str()); break;
      case VT_BOOL: std::printf("OK %s\n", V_BOOL(&result) ? "true" : "false"); break;
      case VT_I2: std::printf("OK %d\n", V_I2(&result)); break;
      case VT_I4: std::printf("OK %ld\n", static_cast<long>(V_I4(&result))); break;
      case VT_R8: std::printf("OK %.17g\n", V_R8(&result)); break;
      case VT_DISPATCH:
        if (!keep.empty() && V_DISPATCH(&result)) {
          if (objects.count(keep)) objects[keep]->Release();
          objects[keep] = V_DISPATCH(&result);
          V_DISPATCH(&result)->AddRef();
        }
        std::printf("OK object\n");
        break;
      default: std::printf("OK type %d\n", V_VT(&result));
    }
  }

  std::map<std::string, IDispatch*> objects;
  std::string description;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: plotwright_client SCRIPT\n");
    return 2;
  }
  std::ifstream script(argv[1]);
  if (!script) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    Client client;
    std::string line;
    while (std::getline(script, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      client.Run(line);
      std::fflush(stdout);
    }
  }
  CoUninitialize();
  return 0;
}
