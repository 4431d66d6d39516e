// A console child of the project's own, standing in for the benchmark children in tests and in the
// runner benchmark. It reads its whole standard input, then follows a script: either the array
// "FAKE_SCRIPT" of the request, or, when the request has none, the file "<own name>.script" in the
// current directory (one command a line), so that it can answer the run engine's real requests.
// A drive benchmark request (with "DRIVE_TARGETDRIVE" and "DRIVE_TESTSUITE") first looks for
// "<own name>.<drive letter>.<suite>.script", e.g. CVNDriveBench.C.Core.script, so that each drive
// and suite can answer in its own way.
// A script file whose first command is "no-std-handles" makes a child that is started like a
// graphics test, without standard handles: it neither reads its input nor writes any output.
// Started by "spawn:" (first argument kSpawnedWord), it follows its further arguments as its
// script and reads no input.
//
// Commands:
//   line:TEXT        TEXT, CR LF            bare:TEXT     TEXT, LF only
//   raw:TEXT         TEXT, no line end      stderr:TEXT   TEXT, CR LF on standard error
//   long:N:PREFIX    PREFIX, N times 'x', CR LF
//   endless:PREFIX   PREFIX, then 'x' without a line end until the output breaks
//   repeat:N:TEXT    N lines TEXT, CR LF    stderr-repeat:N:TEXT  the same on standard error
//   request:PREFIX   PREFIX, the request as read, CR LF
//   input-wait       R: {"inputWaitMs":<ms from start until end of input>}, CR LF
//   empty-write      one write call of zero bytes
//   touch:PATH       create the file PATH    wait-file:MS:PATH  wait until PATH exists, at most MS
//   sleep:MS         flush, then sleep       exit:CODE     flush, then end with CODE
//   file:PATH:BYTES  write the file PATH (no colon in it) with exactly BYTES, where \n, \r and
//                    \\ stand for a line feed, a carriage return and a backslash
//   command-line:PATH  write the child's own command line to the file PATH
//   spawn:C1;C2;...  start this program with the commands C1, C2, ... as its script, inheriting
//                    every inheritable handle and the standard handles of this one (so it holds
//                    the same output pipe), and go on without waiting for it
//   own-pid:PATH     write this process's id in decimal to the file PATH
//   close-output     flush, then close standard output and error (the process goes on)
#include <windows.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

class Output {
 public:
  explicit Output(HANDLE handle) : handle_(handle) {}
  ~Output() { Flush(); }
  void Put(const std::string& text) {
    buffer_ += text;
    if (buffer_.size() >= 65536) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    DWORD written = 0;
    WriteFile(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr);
    buffer_.clear();
  }
  // False once the reader has gone.
  bool WriteNow(const std::string& text) {
    Flush();
    DWORD written = 0;
    return WriteFile(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
  }
  void EmptyWrite() {
    Flush();
    DWORD written = 0;
    WriteFile(handle_, "", 0, &written, nullptr);
  }

 private:
  HANDLE handle_;
  std::string buffer_;
};

std::string ReadAllInput() {
  std::string text;
  char block[4096];
  DWORD got = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(input, block, sizeof(block), &got, nullptr) && got > 0) text.append(block, got);
  return text;
}

std::string OwnName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path);
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool ReadScriptFile(const std::string& fileName, std::vector<std::string>& script) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) return false;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) script.push_back(line);
  }
  return true;
}

// "<own name>.C.Core.script" for a drive benchmark request for C: and its core suite; else empty.
std::string DriveScriptName(const nlohmann::json& request) {
  if (!request.is_object()) return std::string();
  const auto drive = request.find("DRIVE_TARGETDRIVE");
  const auto suite = request.find("DRIVE_TESTSUITE");
  if (drive == request.end() || suite == request.end() || !drive->is_string() ||
      !suite->is_string()) {
    return std::string();
  }
  std::string letter = drive->get<std::string>();
  if (!letter.empty() && letter.back() == ':') letter.pop_back();
  return OwnName() + "." + letter + "." + suite->get<std::string>() + ".script";
}

std::vector<std::string> LoadScript(const std::string& request) {
  std::vector<std::string> script;
  nlohmann::json parsed = nlohmann::json::parse(request, nullptr, false);
  if (parsed.is_object() && parsed.contains("FAKE_SCRIPT")) {
    for (const auto& command : parsed["FAKE_SCRIPT"]) script.push_back(command.get<std::string>());
    return script;
  }
  const std::string driveScript = DriveScriptName(parsed);
  if (!driveScript.empty() && ReadScriptFile(driveScript, script)) return script;
  ReadScriptFile(OwnName() + ".script", script);
  return script;
}

// The bytes of a "file:" command: \n, \r and \\ unescaped, everything else as it is.
std::string Unescape(const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      bytes += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

// Whether the own script file asks to leave the standard handles alone.
bool WithoutStdHandles() {
  std::vector<std::string> script;
  return ReadScriptFile(OwnName() + ".script", script) && !script.empty() &&
         script.front() == "no-std-handles";
}

const char kSpawnedWord[] = "--spawned-script";

// Starts this program with the commands as its arguments, on the same standard handles.
void Spawn(const std::string& commands) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string commandLine = "\"" + std::string(path) + "\" " + kSpawnedWord;
  size_t start = 0;
  for (;;) {
    const size_t end = commands.find(';', start);
    commandLine += " \"" + commands.substr(start, end - start) + "\"";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

// Splits "N:TEXT" into N and TEXT.
void SplitCount(const std::string& argument, unsigned long& count, std::string& text) {
  size_t colon = argument.find(':');
  count = std::stoul(argument.substr(0, colon));
  text = colon == std::string::npos ? std::string() : argument.substr(colon + 1);
}

}  // namespace

int main(int argc, char** argv) {
  const bool spawned = argc > 1 && std::string(argv[1]) == kSpawnedWord;
  const bool withoutStdHandles = !spawned && WithoutStdHandles();
  DWORD startTick = GetTickCount();
  std::string request = withoutStdHandles || spawned ? std::string() : ReadAllInput();
  DWORD inputWaitMs = GetTickCount() - startTick;

  std::vector<std::string> script =
      spawned ? std::vector<std::string>(argv + 2, argv + argc) : LoadScript(request);
  Output out(withoutStdHandles ? nullptr : GetStdHandle(STD_OUTPUT_HANDLE));
  Output err(withoutStdHandles ? nullptr : GetStdHandle(STD_ERROR_HANDLE));
  if (script.empty()) {
    out.Put("B: fake child has no script\r\n");
    return 3;
  }
  for (const std::string& command : script) {
    size_t colon = command.find(':');
    std::string verb = command.substr(0, colon);
    std::string argument = colon == std::string::npos ? std::string() : command.substr(colon + 1);
    unsigned long count = 0;
    std::string text;
    if (verb == "line") {
      out.Put(argument + "\r\n");
    } else if (verb == "bare") {
      out.Put(argument + "\n");
    } else if (verb == "raw") {
      out.Put(argument);
    } else if (verb == "stderr") {
      out.Flush();
      err.Put(argument + "\r\n");
      err.Flush();
    } else if (verb == "long") {
      SplitCount(argument, count, text);
      out.Put(text + std::string(count, 'x') + "\r\n");
    } else if (verb == "endless") {
      const std::string block(65536, 'x');
      if (out.WriteNow(argument)) {
        while (out.WriteNow(block)) {
        }
      }
      return 0;
    } else if (verb == "repeat") {
      SplitCount(argument, count, text);
      text += "\r\n";
      for (unsigned long i = 0; i < count; ++i) out.Put(text);
    } else if (verb == "stderr-repeat") {
      out.Flush();
      SplitCount(argument, count, text);
      text += "\r\n";
      for (unsigned long i = 0; i < count; ++i) err.Put(text);
      err.Flush();
    } else if (verb == "spawn") {
      out.Flush();
      Spawn(argument);
    } else if (verb == "close-output") {
      out.Flush();
      err.Flush();
      const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
      const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
      CloseHandle(output);
      if (error != output) CloseHandle(error);
    } else if (verb == "own-pid") {
      std::ofstream(argument) << GetCurrentProcessId();
    } else if (verb == "request") {
      out.Put(argument + request + "\r\n");
    } else if (verb == "input-wait") {
      out.Put("R: {\"inputWaitMs\":" + std::to_string(inputWaitMs) + "}\r\n");
    } else if (verb == "empty-write") {
      out.EmptyWrite();
    } else if (verb == "touch") {
      out.Flush();
      std::ofstream(argument).put('1');
    } else if (verb == "wait-file") {
      out.Flush();
      SplitCount(argument, count, text);
      DWORD waitStart = GetTickCount();
      while (GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES &&
             GetTickCount() - waitStart < count) {
        Sleep(20);
      }
    } else if (verb == "file") {
      out.Flush();
      const size_t pathEnd = argument.find(':');
      const std::string bytes =
          pathEnd == std::string::npos ? std::string() : Unescape(argument.substr(pathEnd + 1));
      std::ofstream(argument.substr(0, pathEnd), std::ios::binary) << bytes;
    } else if (verb == "command-line") {
      std::ofstream(argument, std::ios::binary) << GetCommandLineA();
    } else if (verb == "sleep") {
      out.Flush();
      Sleep(std::stoul(argument));
    } else if (verb == "exit") {
      out.Flush();
      return std::stoi(argument);
    }
  }
  return 0;
}
