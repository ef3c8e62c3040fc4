#pragma once

#include <utility>

namespace korvalis {

// Owns one operating-system handle. Traits supply the empty value and the close call,
// so each kind of handle is closed on every path by construction.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    [[nodiscard]] Handle Get() const noexcept { return m_handle; }
    [[nodiscard]] bool Valid() const noexcept { return m_handle != Traits::Empty(); }
    explicit operator bool() const noexcept { return Valid(); }

    Handle Release() noexcept { return std::exchange(m_handle, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) noexcept
    {
        Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Empty();
};

}  // namespace korvalis
