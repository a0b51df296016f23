// The progress counters and cancel flags of a transfer are shared between
// the thread that moves the bytes and the one that shows them, each written
// by one side only. These accessors make every such access a single,
// untorn memory operation that the compiler may not cache or elide.
#pragma once

static_assert(sizeof(bool) == 1, "cancel flags are handed on as bytes");

template <typename T>
inline T LoadShared(const T* p) {
#if defined(__GNUC__)
    return __atomic_load_n(p, __ATOMIC_SEQ_CST);
#else
    return *static_cast<const volatile T*>(p);
#endif
}

template <typename T>
inline void StoreShared(T* p, T value) {
#if defined(__GNUC__)
    __atomic_store_n(p, value, __ATOMIC_SEQ_CST);
#else
    *static_cast<volatile T*>(p) = value;
#endif
}

// A caller's cancel byte; a null pointer never cancels.
inline bool CancelRequested(const char* cancel) {
    return cancel != nullptr && LoadShared(cancel) != 0;
}
