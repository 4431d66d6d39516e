#include "gpustats/display_config_calls.h"

const DisplayConfigCalls& SystemDisplayConfig() {
  static const DisplayConfigCalls calls = {
      GetDisplayConfigBufferSizes,
      [](UINT32 flags, UINT32* paths, DISPLAYCONFIG_PATH_INFO* pathArray, UINT32* modes,
         DISPLAYCONFIG_MODE_INFO* modeArray) {
        return QueryDisplayConfig(flags, paths, pathArray, modes, modeArray, nullptr);
      },
      DisplayConfigGetDeviceInfo,
  };
  return calls;
}
