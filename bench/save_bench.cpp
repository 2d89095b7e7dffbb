// The cost of one save: the whole settings file written for a full table of
// 24 slots whose texts are all as long as a path can be, then moved over the
// old file. Prints "name value" lines: median and 99th percentile in
// microseconds, and the file's size.
// Usage: save_bench <settings file> <runs>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/slots.h"
#include "bench/stats.h"
#include "settings/file_on_disk.h"

namespace {

enum { LONG_TEXT = 259 }; // a path buffer's 260 characters, less the zero

// A text of exactly LONG_TEXT characters that starts like a real path.
std::string LongText(const char* start, int slot)
{
    std::string text = std::string(start) + std::to_string(slot) + "\\";
    while (text.size() < LONG_TEXT)
        text += "Folder\\";
    text.resize(LONG_TEXT);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int runs = std::atoi(argv[2]);
    if (runs < 1)
        return 2;
    LauncherSlot* slots = AllocateSlotTable();
    if (!slots)
        return 1;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        ReplaceText(&slots[slot].target, LongText("C:\\Program Files\\Target ", slot).c_str());
        ReplaceText(&slots[slot].workFolder, LongText("D:\\Work ", slot).c_str());
        ReplaceText(&slots[slot].extra, LongText("E:\\Extra ", slot).c_str());
        ReplaceText(&slots[slot].hint, LongText("A hint for slot ", slot).c_str());
    }
    std::vector<double> times(runs);
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const bool saved = SaveSettings(argv[1], slots, SLOT_COUNT);
        times[run] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        if (!saved) {
            std::printf("save_failed %d\n", run);
            return 1;
        }
    }
    FILE* file = std::fopen(argv[1], "rb");
    long size = -1;
    if (file && std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (file)
        std::fclose(file);
    std::printf("save_median_us %.1f\n", Percentile(times.data(), runs, 0.5));
    std::printf("save_p99_us %.1f\n", Percentile(times.data(), runs, 0.99));
    std::printf("save_bytes %ld\n", size);
    std::printf("save_runs %d\n", runs);
    FreeSlotTable(slots);
    return 0;
}
