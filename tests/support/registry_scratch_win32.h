#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace korvalis::test {

inline bool KeyExists(HKEY root, const std::wstring& path, REGSAM view)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// Deletes a key with everything below it in one registry view; a missing key is fine.
inline void DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view)
{
    const auto split = path.find_last_of(L'\\');
    const std::wstring parentPath = split == std::wstring::npos ? L"" : path.substr(0, split);
    const std::wstring leaf = split == std::wstring::npos ? path : path.substr(split + 1);
    HKEY parent = nullptr;
    if (::RegOpenKeyExW(root, parentPath.c_str(), 0, KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS) return;
    ::RegDeleteTreeW(parent, leaf.c_str());
    ::RegCloseKey(parent);
}

// A key the test creates, in the view it names, gone again when the test ends. Anything a
// crashed earlier run left there is removed first.
class ScratchKey {
public:
    ScratchKey(HKEY root, std::wstring path, REGSAM view)
        : m_root(root), m_path(std::move(path)), m_view(view)
    {
        DeleteKeyTree(m_root, m_path, m_view);
        m_status = ::RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS | m_view, nullptr, &m_key, nullptr);
    }
    ~ScratchKey()
    {
        if (m_key != nullptr) ::RegCloseKey(m_key);
        DeleteKeyTree(m_root, m_path, m_view);
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    [[nodiscard]] bool Created() const { return m_status == ERROR_SUCCESS; }

    LSTATUS SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size)
    {
        return ::RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    }
    // A text value with its terminating NUL, as programs normally store one.
    LSTATUS SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ)
    {
        return SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    LSTATUS SetNumber(const std::wstring& name, DWORD value)
    {
        return SetRaw(name, REG_DWORD, &value, sizeof value);
    }

private:
    HKEY m_root;
    std::wstring m_path;
    REGSAM m_view;
    HKEY m_key = nullptr;
    LSTATUS m_status = ERROR_SUCCESS;
};

}  // namespace korvalis::test
