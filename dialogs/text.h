// text.h - the library's string: std::basic_string on the C heap. The
// library's own std::string and operator new would link the C++ runtime's
// strings and exception machinery, most of the module, for a few names.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>

template <typename T>
struct HeapAllocator {
    using value_type = T;
    HeapAllocator() = default;
    template <typename U>
    HeapAllocator(const HeapAllocator<U> &) {}

    T *allocate(std::size_t n)
    {
        // Out of memory stops the module, as the exception would that
        // nothing here catches.
        void *memory = std::malloc(n * sizeof(T));
        if (!memory)
            std::abort();
        return static_cast<T *>(memory);
    }
    void deallocate(T *memory, std::size_t) { std::free(memory); }
};

template <typename T, typename U>
bool operator==(const HeapAllocator<T> &, const HeapAllocator<U> &) { return true; }
template <typename T, typename U>
bool operator!=(const HeapAllocator<T> &, const HeapAllocator<U> &) { return false; }

using Text = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;
