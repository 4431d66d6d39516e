#pragma once
// The framework's command-line flags, read into plain data.
#include <string>

struct FrameworkOverrides {
  int adapterOverride = -1;  // -adapter:<n>
  int outputOverride = -1;   // -output:<n>
  int widthOverride = 0;     // -width:<n>
  int heightOverride = 0;    // -height:<n>
  int forceApi = -1;         // -forceapi:<n>
  int forceVsync = -1;       // -forcevsync:<n>
  bool fullScreen = false;
  bool windowed = false;
  bool forceHal = false;
  bool forceRef = false;
  bool forcePureHwvp = false;
  bool forceHwvp = false;
  bool forceSwvp = false;
  bool noErrorMessageBoxes = false;
};

// Reads a whole process command line (the program's own name first, quoted or not). Flags begin
// with '-' or '/', their names are matched without regard to case, a number follows after ':'.
// Unknown words and flags whose number is missing or malformed are passed over.
FrameworkOverrides ParseFrameworkCommandLine(const std::wstring& commandLine);
