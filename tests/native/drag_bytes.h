// Drag formats as sources lay them out, for the parser table and the fuzzer's seeds.
#ifndef ZRONDEL_TESTS_DRAG_BYTES_H
#define ZRONDEL_TESTS_DRAG_BYTES_H

#include <stdint.h>

#include <string>

inline std::string Le32(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
inline std::string Utf16(const std::u16string& text) { return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2); }
// DROPFILES with its names where the header says.
inline std::string FileListBytes(const std::string& names, bool wide, uint32_t at = 20)
{
    return Le32(at) + Le32(0) + Le32(0) + Le32(0) + Le32(wide) + names;
}
// FileGroupDescriptorW counting `count`, holding one descriptor named `name`.
inline std::string DescriptorBytes(uint32_t count, const std::u16string& name)
{
    std::string one(592, '\0');
    one.replace(72, name.size() * 2, Utf16(name));
    return Le32(count) + one;
}
// A Shell IDList Array with two offsets: the desktop's empty list, then the
// items (each its length, then its bytes) and their end.
inline std::string ShellItemsBytes(uint32_t count, uint32_t parentAt, uint32_t itemAt, const std::string& items)
{
    return Le32(count) + Le32(parentAt) + Le32(itemAt) + std::string(2, '\0') + items + std::string(2, '\0');
}

#endif
