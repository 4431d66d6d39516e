#pragma once
// A fresh folder for one process test, removed with everything in it when the test ends.
#include <set>
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  // Copies a file into the folder under the given name (e.g. a test double as a real program).
  bool Copy(const std::string& from, const std::string& name) const;
  bool Exists(const std::string& name) const;
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& content) const;
  // The names in the folder itself, without "." and "..".
  std::set<std::string> Names() const;

 private:
  std::string path_;
};
