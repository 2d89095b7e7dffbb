// Builds settings files byte by byte, the way the format lays them out, so
// that tests and fuzz seeds state their content without the writer's help.
#ifndef ZRONDEL_TESTS_SETTINGS_BYTES_H
#define ZRONDEL_TESTS_SETTINGS_BYTES_H

#include <stdint.h>

#include <cstring>
#include <string>
#include <vector>

class SettingsBytes {
public:
    SettingsBytes& Magic(const char* nineCharacters, char tenth = '\0')
    {
        bytes_.append(nineCharacters, 9);
        bytes_.push_back(tenth);
        return *this;
    }
    SettingsBytes& Int32(int32_t value)
    {
        uint32_t bits = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<char>(bits >> shift));
        return *this;
    }
    SettingsBytes& Byte(unsigned char value)
    {
        bytes_.push_back(static_cast<char>(value));
        return *this;
    }
    // A counted string: length, then the text and its zero; length 0 alone
    // for an empty text.
    SettingsBytes& Text(const std::string& text)
    {
        Int32(static_cast<int32_t>(text.size()));
        if (!text.empty())
            bytes_.append(text.c_str(), text.size() + 1);
        return *this;
    }
    // A slot entry of versions 2 and 3.
    SettingsBytes& Entry(const std::string& target, const std::string& workFolder,
                         const std::string& extra, const std::string& hint)
    {
        return Text(target).Text(workFolder).Text(extra).Text(hint);
    }
    SettingsBytes& Trailer(bool hideAfterLaunch, bool showAtStart, int32_t left, int32_t top)
    {
        return Byte(hideAfterLaunch).Byte(showAtStart).Int32(left).Int32(top);
    }
    // A UTF-16 text counted in units: count, then the units and a zero unit.
    SettingsBytes& WholeText(const std::u16string& text)
    {
        Int32(static_cast<int32_t>(text.size()));
        for (size_t i = 0; !text.empty() && i <= text.size(); ++i)
            Byte(static_cast<unsigned char>(text.c_str()[i])).Byte(static_cast<unsigned char>(text.c_str()[i] >> 8));
        return *this;
    }
    // The block of whole names after the trailer, one entry for a slot whose
    // ANSI target and working folder are those given.
    SettingsBytes& WholeNames(int slot, const std::string& target, const std::string& workFolder,
                              const std::u16string& wholeTarget, const std::u16string& wholeWorkFolder)
    {
        SettingsBytes entry;
        uint32_t hash = 2166136261u; // FNV-1a of the target, its zero and the folder
        const std::string names = target + std::string(1, '\0') + workFolder;
        for (unsigned char byte : names)
            hash = (hash ^ byte) * 16777619u;
        entry.Int32(slot).Int32(static_cast<int32_t>(hash)).WholeText(wholeTarget).WholeText(wholeWorkFolder);
        return Magic("ZRondelW1").Int32(static_cast<int32_t>(entry.str().size())).Raw(entry.str());
    }
    SettingsBytes& Raw(const std::string& raw)
    {
        bytes_ += raw;
        return *this;
    }
    const std::string& str() const { return bytes_; }

private:
    std::string bytes_;
};

struct SlotFileEntry {
    int slot;
    std::string target, workFolder, extra, hint;
};

// The current version's file for these defined slots of a 24-slot table
// (the others empty) and the program-wide values.
inline std::string SettingsFileWith(const std::vector<SlotFileEntry>& defined, bool hideAfterLaunch = true,
                                    bool showAtStart = true, int32_t left = 0, int32_t top = 0)
{
    const int kSlotCount = 24;
    SettingsBytes file;
    file.Magic("ZRondelV3").Int32(kSlotCount);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotFileEntry* entry = nullptr;
        for (const SlotFileEntry& candidate : defined)
            if (candidate.slot == slot)
                entry = &candidate;
        if (entry)
            file.Entry(entry->target, entry->workFolder, entry->extra, entry->hint);
        else
            file.Int32(0);
    }
    return file.Trailer(hideAfterLaunch, showAtStart, left, top).str();
}

#endif
