#include "engine/sysinfo/wmi_provider.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "common/console_line.h"
#include "engine/sysinfo/wmi_text.h"

thread_local int comInitCount = 0;

// Defined before the exit registration below, so DestroyWmiProviders runs before the map dies.
std::map<std::wstring, WMIProvider*> wmiProviderRegistry;
namespace {
[[maybe_unused]] const int destroyAtExit = (std::atexit(DestroyWmiProviders), 0);

const wchar_t kNamespace[] = L"ROOT\\CIMV2";

// The graphics phase queries while background jobs print: whole lines only.
void PrintFailure(const char* what, HRESULT hr) {
  ConsoleLine(std::string(what) + " failed: " + ResultCodeText(hr));
}
}  // namespace

WMIProvider::WMIProvider() {
  try {
    Connect();
  } catch (...) {
    Disconnect();
    throw;
  }
}

WMIProvider::~WMIProvider() { Disconnect(); }

bool WMIProvider::Connect() {
  if (services && locator) return true;

  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(hr)) {
    PrintFailure("CoInitializeEx", hr);
  } else {
    ++comInitCount;
  }

  hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                            RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  if (FAILED(hr)) {
    PrintFailure("CoInitializeSecurity", hr);
    if (hr != RPC_E_TOO_LATE) {
      Disconnect();
      return false;
    }
  }

  hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                        reinterpret_cast<void**>(locator.out()));
  if (FAILED(hr)) {
    PrintFailure("CoCreateInstance", hr);
    Disconnect();
    return false;
  }

  {
    const ScopedBstr resource(kNamespace);
    hr = locator->ConnectServer(resource.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                services.out());
  }
  if (FAILED(hr)) {
    PrintFailure("ConnectServer", hr);
    Disconnect();
    return false;
  }

  hr = CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                         RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  if (FAILED(hr)) {
    PrintFailure("CoSetProxyBlanket", hr);
    Disconnect();
    return false;
  }

  namespacePath = kNamespace;
  return true;
}

void WMIProvider::Disconnect() {
  services.reset();
  locator.reset();
  // Unconditional, also after a failed initialisation: only the step to 0 uninitialises.
  if (--comInitCount == 0) CoUninitialize();
}

bool WMIProvider::RunQuery(WmiObjectList& objects, const std::string& wql) {
  if (!services) {
    ConsoleLine("WMI is not initialized!");
    return false;
  }

  ComPtr<IEnumWbemClassObject> enumerator;
  HRESULT hr;
  {
    const ScopedBstr language(L"WQL");
    // The query text is taken in the system's ANSI code page.
    const ScopedBstr query(MultiByteToWide(wql, CP_ACP));
    hr = services->ExecQuery(language.get(), query.get(),
                             WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                             enumerator.out());
  }
  if (FAILED(hr) || !enumerator) {
    ConsoleLine("Querying " + wql + " Serial Key failed: " + ResultCodeText(hr));
    return false;
  }

  bool appended = false;
  for (;;) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    enumerator->Next(WBEM_INFINITE, 1, &object, &returned);
    if (returned == 0 || object == nullptr) break;
    objects.emplace_back(object);
    appended = true;
  }
  return appended;
}

WMIProvider* GetWmiProvider() {
  auto found = wmiProviderRegistry.find(kNamespace);
  if (found != wmiProviderRegistry.end()) return found->second;
  // Kept whether or not it connected; a failed provider answers every query with a failure.
  std::unique_ptr<WMIProvider> provider(new WMIProvider());
  WMIProvider* stored = provider.get();
  wmiProviderRegistry[kNamespace] = stored;
  provider.release();
  return stored;
}

void DestroyWmiProviders() {
  for (auto& entry : wmiProviderRegistry) {
    if (entry.second != nullptr) delete entry.second;
  }
  wmiProviderRegistry.clear();
}
