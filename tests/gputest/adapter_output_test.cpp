// The adapter and output lookup, through Wine's real Direct3D 9 and DXGI and through a made-up
// list of adapters and outputs.
#include "gputest/adapter_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Box {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT style;
};

struct Lookup {
  bool found;
  int adapter;
  int output;
  std::vector<Box> boxes;
};

Lookup RunLookup(int ordinal, const AdapterLookupPlatform& platform, int output = -1) {
  Lookup lookup{false, ordinal, output, {}};
  UserMessages messages;
  messages.messageBox = [&](HWND owner, const std::wstring& text, const std::wstring& caption,
                            UINT style) { lookup.boxes.push_back({owner, text, caption, style}); };
  messages.debugOutput = [](const std::wstring&) { ADD_FAILURE() << "the lookup tells no debugger"; };
  lookup.found = FindAdapterOutput(&lookup.adapter, &lookup.output, true, platform, messages);
  return lookup;
}

const std::wstring notFound = std::wstring(L"Failed to locate device. Please notify ") +
                              supportContact;

TEST(AdapterLookupOnWine, TheFirstAdapterFindsItsOutputAndShowsNothing) {
  const Lookup lookup = RunLookup(0, AdapterLookupPlatform());
  EXPECT_TRUE(lookup.found);
  EXPECT_EQ(lookup.adapter, 0);
  EXPECT_EQ(lookup.output, 0);
  EXPECT_TRUE(lookup.boxes.empty());
}

TEST(AdapterLookupOnWine, AnOrdinalDirect3D9DoesNotKnowHasNoMonitor) {
  const Lookup lookup = RunLookup(9, AdapterLookupPlatform(), 3);
  EXPECT_FALSE(lookup.found);
  EXPECT_EQ(lookup.adapter, 9);
  EXPECT_EQ(lookup.output, 3);
  ASSERT_EQ(lookup.boxes.size(), 1u);
  EXPECT_EQ(lookup.boxes[0].text, L"Failed to find monitor");
}

TEST(AdapterLookupOnWine, ListsTheDxgiAdapters) { EXPECT_EQ(ListDxgiAdapters().size(), 1u); }

// A platform that knows the monitor "\\.\DISPLAY2" behind every ordinal and the given outputs.
AdapterLookupPlatform FakePlatform(std::vector<std::vector<std::wstring>> outputs,
                                   MonitorLookup monitor = MonitorLookup::Found) {
  AdapterLookupPlatform platform;
  platform.monitorOfOrdinal = [monitor](int, std::wstring* name) {
    *name = L"\\\\.\\DISPLAY2";
    return monitor;
  };
  platform.outputNames = [outputs] { return outputs; };
  return platform;
}

TEST(AdapterLookup, FindsTheOutputWithTheMonitorsName) {
  struct Case {
    const char* shows;
    int ordinal;
    std::vector<std::vector<std::wstring>> outputs;
    int adapter;
    int output;
  };
  const Case cases[] = {
      {"two outputs on one adapter: the second", 0, {{L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"}}, 0, 1},
      {"the DXGI index differs from the ordinal", 0, {{L"\\\\.\\DISPLAY1"}, {L"\\\\.\\DISPLAY2"}}, 1, 0},
      {"several outputs with the name: the first in adapter, then output order wins", 2,
       {{L"\\\\.\\DISPLAY1"}, {L"", L"\\\\.\\DISPLAY2", L"\\\\.\\DISPLAY2"}, {L"\\\\.\\DISPLAY2"}},
       1, 1},
  };
  for (const Case& c : cases) {
    const Lookup lookup = RunLookup(c.ordinal, FakePlatform(c.outputs));
    EXPECT_TRUE(lookup.found) << c.shows;
    EXPECT_EQ(lookup.adapter, c.adapter) << c.shows;
    EXPECT_EQ(lookup.output, c.output) << c.shows;
    EXPECT_TRUE(lookup.boxes.empty()) << c.shows;
  }
}

TEST(AdapterLookup, EachFailureShowsItsMessageAndLeavesTheOverrides) {
  struct Case {
    const char* shows;
    int ordinal;
    MonitorLookup monitor;
    std::vector<std::vector<std::wstring>> outputs;
    std::wstring message;
  };
  const Case cases[] = {
      {"no -adapter", -1, MonitorLookup::Found, {{L"\\\\.\\DISPLAY2"}}, L"Adapter required"},
      {"no Direct3D 9", 0, MonitorLookup::NoDirect3D, {{L"\\\\.\\DISPLAY2"}}, L"Failed to init DX"},
      {"no monitor", 0, MonitorLookup::NoMonitor, {{L"\\\\.\\DISPLAY2"}}, L"Failed to find monitor"},
      {"no DXGI adapter", 0, MonitorLookup::Found, {}, notFound},
      {"no output with the name, the case differs", 0, MonitorLookup::Found,
       {{L"\\\\.\\display2", L"\\\\.\\DISPLAY1"}, {}}, notFound},
  };
  for (const Case& c : cases) {
    const Lookup lookup = RunLookup(c.ordinal, FakePlatform(c.outputs, c.monitor), 5);
    EXPECT_FALSE(lookup.found) << c.shows;
    EXPECT_EQ(lookup.adapter, c.ordinal) << c.shows;
    EXPECT_EQ(lookup.output, 5) << c.shows;
    ASSERT_EQ(lookup.boxes.size(), 1u) << c.shows;
    EXPECT_EQ(lookup.boxes[0].text, c.message) << c.shows;
    EXPECT_EQ(lookup.boxes[0].owner, nullptr) << c.shows;
    EXPECT_EQ(lookup.boxes[0].caption, L"") << c.shows;
    EXPECT_EQ(lookup.boxes[0].style, static_cast<UINT>(MB_ICONERROR)) << c.shows;
  }
}

TEST(AdapterLookup, WithBoxesSwitchedOffItFailsSilently) {
  int adapter = -1, output = -1;
  UserMessages messages;
  messages.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) {
    ADD_FAILURE() << "no box";
  };
  EXPECT_FALSE(FindAdapterOutput(&adapter, &output, false, FakePlatform({}), messages));
}

}  // namespace
