#include "product/Registry.h"

#include <algorithm>
#include <vector>

void TRegistry::SetRootKey(HKEY root) {
    key_.reset();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& path) {
    HKEY parent = key_ ? key_.get() : root_;
    std::string relative = path;
    if (!relative.empty() && relative[0] == '\\') {
        parent = root_;
        relative.erase(0, 1);
    }
    HKEY opened = nullptr;
    const LONG rc = RegCreateKeyExA(parent, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    // The old key may be the parent, so it is closed only after the new one is open.
    key_.reset(rc == ERROR_SUCCESS ? opened : nullptr);
    return static_cast<bool>(key_);
}

bool TRegistry::ValueExists(const std::string& name) const {
    return key_ && RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const {
    if (!key_) return {};
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0)
        return {};
    std::vector<char> data(size);
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return {};
    // The value may have changed size in between; never read beyond what arrived.
    const std::size_t count = std::min<std::size_t>(size, data.size());
    std::string text(data.data(), count);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

std::optional<std::int32_t> TRegistry::ReadFourBytes(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size != 4)
        return std::nullopt;
    std::int32_t value = 0;
    size = sizeof value;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        size != 4)
        return std::nullopt;
    return value;
}

std::int32_t TRegistry::ReadInteger(const std::string& name, std::int32_t missing) const {
    return ReadFourBytes(name).value_or(missing);
}

bool TRegistry::ReadBool(const std::string& name, bool missing) const {
    const std::optional<std::int32_t> value = ReadFourBytes(name);
    return value ? *value != 0 : missing;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (!key_) return;
    RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    if (!key_) return;
    RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}
