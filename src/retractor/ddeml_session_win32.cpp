#include "retractor/ddeml_session_win32.h"

namespace {

// A server that never answers must not hang us.
constexpr DWORD kRequestTimeout = 5000;

HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

}  // namespace

DdemlSession::DdemlSession() {
  if (DdeInitializeA(&instance, IgnoreEverything,
                     APPCMD_FILTERINITS | CBF_FAIL_SELFCONNECTIONS | CBF_FAIL_POKES | CBF_SKIP_CONNECT_CONFIRMS,
                     0) != DMLERR_NO_ERROR) {
    instance = 0;
  }
}

DdemlSession::~DdemlSession() {
  if (conversation) DdeDisconnect(conversation);
  for (HSZ handle : {serviceHandle, itemHandle}) {
    if (handle) DdeFreeStringHandle(instance, handle);
  }
  if (instance) DdeUninitialize(instance);
}

bool DdemlSession::Request(const char* service, const std::string& item, std::string* data) {
  if (!instance) return false;
  serviceHandle = DdeCreateStringHandleA(instance, service, CP_WINANSI);
  itemHandle = DdeCreateStringHandleA(instance, item.c_str(), CP_WINANSI);
  if (!serviceHandle || !itemHandle) return false;
  conversation = DdeConnect(instance, serviceHandle, serviceHandle, nullptr);
  if (!conversation) return false;
  HDDEDATA result =
      DdeClientTransaction(nullptr, 0, conversation, itemHandle, CF_TEXT, XTYP_REQUEST, kRequestTimeout, nullptr);
  if (!result) return false;
  char buffer[260];
  DWORD size = DdeGetData(result, reinterpret_cast<LPBYTE>(buffer), sizeof buffer, 0);
  DdeFreeDataHandle(result);
  data->assign(buffer, size);
  return true;
}
