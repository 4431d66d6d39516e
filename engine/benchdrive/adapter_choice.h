#pragma once
// Which Direct3D 9 ordinal stands for a WMI video controller: a display whose adapter bears the
// controller's caption.
#include <string>

#include "engine/benchdrive/display_adapters.h"

struct ChosenDisplay {
  int adapterOrdinal = -1;  // -1: no adapter of that name drives a display
  bool isMainDisplay = false;
  // Every trimmed description compared, each followed by "|", for the log of a failed search.
  std::string comparedNames;
};

// The candidates are the ordinals whose trimmed description equals the caption byte for byte; the
// one on the primary monitor wins, else the lowest.
ChosenDisplay ChooseAdapterOrdinal(const std::string& caption, const DisplayAdapters& adapters);
