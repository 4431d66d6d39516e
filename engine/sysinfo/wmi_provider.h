#pragma once
// The process-wide connection to WMI's ROOT\CIMV2 namespace.
#include <windows.h>
#include <wbemidl.h>

#include <map>
#include <string>
#include <vector>

#include "common/platform/com_holders.h"

// Result objects of one query, in the order the enumerator delivered them.
using WmiObjectList = std::vector<ComPtr<IWbemClassObject>>;

class WMIProvider {
 public:
  // Connects at once; a failed connection leaves the provider unconnected for good.
  WMIProvider();
  virtual ~WMIProvider();
  WMIProvider(const WMIProvider&) = delete;
  WMIProvider& operator=(const WMIProvider&) = delete;

  // True when connected; failures are printed with their result code.
  bool Connect();
  // Releases both interfaces and balances this thread's COM initialisation.
  void Disconnect();
  // Appends the query's result objects; true when at least one came back.
  bool RunQuery(WmiObjectList& objects, const std::string& wql);

 private:
  ComPtr<IWbemLocator> locator;
  std::wstring namespacePath;
  ComPtr<IWbemServices> services;
};

// Successful COM initialisations of this thread not yet balanced by an uninitialisation.
extern thread_local int comInitCount;
// Namespace path to its provider; the only key is ROOT\CIMV2.
extern std::map<std::wstring, WMIProvider*> wmiProviderRegistry;

// The ROOT\CIMV2 provider, created (and connected) on first use; never null.
WMIProvider* GetWmiProvider();
// Deletes every registered provider and empties the registry; runs at exit.
void DestroyWmiProviders();
