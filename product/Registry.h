// The registry access object the saved choices go through. Opening a key always creates it,
// and no failure is reported: a key that cannot be opened leaves no open key, reads then give
// the defaults and writes do nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "util/ScopedWin.h"

class TRegistry {
  public:
    TRegistry() = default; // root HKEY_CURRENT_USER, no open key
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // Closes the open key.
    void SetRootKey(HKEY root);
    HKEY CurrentKey() const { return key_.get(); }
    void CloseKey() { key_.reset(); }

    // Creates the key when missing (KEY_ALL_ACCESS). A leading backslash starts at the root
    // key; any other path starts at the open key, or at the root when none is open. The new key
    // replaces the open one. True when a key is open afterwards.
    bool OpenKey(const std::string& path);

    bool ValueExists(const std::string& name) const;
    // Up to the first zero byte, whatever the value's type; empty when missing.
    std::string ReadString(const std::string& name) const;
    // A value whose data is not exactly 4 bytes long reads as missing.
    std::int32_t ReadInteger(const std::string& name, std::int32_t missing) const;
    bool ReadBool(const std::string& name, bool missing) const;

    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

  private:
    std::optional<std::int32_t> ReadFourBytes(const std::string& name) const;

    HKEY root_ = HKEY_CURRENT_USER;
    win::UniqueRegKey key_;
};
