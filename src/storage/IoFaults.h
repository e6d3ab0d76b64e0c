#pragma once

#include <functional>
#include <string>

// The seam through which tests make a chosen file system call fail, the way a
// full disk or a failing device would. Production code never sets a hook.
class IoFaults {
  public:
    enum class Op { Open, Write, Sync, Rename, Truncate, Read };

    // The hook returns the errno value the call shall fail with, or 0.
    using Hook = std::function<int(Op op, const std::string& path)>;

    static void SetHook(Hook hook);
    static void ClearHook() { SetHook(nullptr); }

    // Called by File before each call; returns the errno to fail with, or 0.
    static int Check(Op op, const std::string& path);
};
