#pragma once
// The Direct3D 9 adapters and the monitors they drive, as the graphics phase reads them.
#include <memory>
#include <string>

struct AdapterIdentity {
  std::string driver;
  std::string description;  // as Direct3D 9 gives it, untrimmed
};

// A monitor's facts; all empty or zero when its information could not be read.
struct MonitorFacts {
  bool primary = false;
  int width = 0;  // of the monitor rectangle, in pixels
  int height = 0;
  std::string deviceName;  // the GDI device name, e.g. \\.\DISPLAY1
};

class DisplayAdapters {
 public:
  virtual ~DisplayAdapters() = default;
  // False when there is no Direct3D 9 object; there are no adapters then.
  virtual bool Available() const = 0;
  virtual unsigned Count() const = 0;
  // An identifier that could not be read gives empty texts.
  virtual AdapterIdentity Identify(unsigned ordinal) const = 0;
  virtual MonitorFacts Monitor(unsigned ordinal) const = 0;
  // The current display frequency of a display device in Hz; 0 when it cannot be read.
  virtual int RefreshRate(const std::string& deviceName) const = 0;
};

// The adapters of a Direct3D 9 object created for the call.
std::unique_ptr<DisplayAdapters> OpenDirect3D9Adapters();
