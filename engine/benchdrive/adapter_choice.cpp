#include "engine/benchdrive/adapter_choice.h"

#include "common/text_helpers.h"

ChosenDisplay ChooseAdapterOrdinal(const std::string& caption, const DisplayAdapters& adapters) {
  ChosenDisplay chosen;
  const unsigned count = adapters.Count();
  for (unsigned ordinal = 0; ordinal < count; ++ordinal) {
    std::string description = adapters.Identify(ordinal).description;
    TrimRight(description);
    TrimLeft(description);
    chosen.comparedNames += description + "|";
    if (description != caption) continue;
    if (chosen.adapterOrdinal == -1) chosen.adapterOrdinal = static_cast<int>(ordinal);
    if (adapters.Monitor(ordinal).primary) {
      chosen.adapterOrdinal = static_cast<int>(ordinal);
      chosen.isMainDisplay = true;
      break;
    }
  }
  return chosen;
}
