#pragma once

#include <string>

// A fresh directory below the system's temporary directory, removed with
// everything in it at the end of the test. With `enter`, the process works in
// it until then, and it holds an empty "daten" folder, which is what the
// program expects to find in its working directory.
class TempDir {
  public:
    explicit TempDir(bool enter = false);
    ~TempDir();

    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::string previous_;
};
