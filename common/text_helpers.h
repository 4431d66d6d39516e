#pragma once
// Small text and number helpers shared by the run engine and the benchmark children.
#include <cstdint>
#include <string>

// floor(x * 10^n + 0.5) / 10^n; halves round towards positive infinity.
double RoundDecimals(int n, double x);
// timeGetTime() - startTick, modulo 2^32.
uint32_t ElapsedMs(uint32_t startTick);

std::string& TrimLeft(std::string& text);
std::string& TrimRight(std::string& text);

// Default-formatted stream text: decimal integers, "1"/"0" for booleans, six significant digits.
std::string ToString(unsigned value);
std::string ToString(int value);
std::string ToString(bool value);
std::string DoubleToString(double value);

// The system's message for GetLastError() without line breaks, then " (<code>)"; empty for 0.
std::string LastErrorText();
// The system's message for a given error code, formatted as LastErrorText does.
std::string ErrorCodeText(unsigned long code);
// Current UTC time as "YYYY-MM-DD HH:MM:SS".
std::string UtcTimeString();

bool EndsWith(const std::string& text, const std::string& suffix);
// From the last backslash up to the last ampersand, e.g. "\SN123X45" of "USBSTOR\DISK&VEN_X&PROD_Y\SN123X45&0".
std::string ExtractBetween(const std::string& text);
// From after the first startMarker up to the last endMarker.
std::string ExtractAfterMarker(const std::string& text, const std::string& startMarker,
                               const std::string& endMarker);
std::string& ToLowerInPlace(std::string& text);
