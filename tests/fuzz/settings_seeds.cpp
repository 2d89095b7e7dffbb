// Writes valid settings files of every version into the folder given.
#include <stdio.h>

#include <string>

#include "tests/native/settings_bytes.h"

static bool WriteSeed(const std::string& path, const SettingsBytes& bytes)
{
    FILE* stream = fopen(path.c_str(), "wb");
    if (!stream)
        return false;
    bool written = fwrite(bytes.str().data(), 1, bytes.str().size(), stream) == bytes.str().size();
    return fclose(stream) == 0 && written;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: settings_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    // Existing targets, so the seeds reach every branch of the readers.
    const std::string present = "/tmp", alsoPresent = ".", gone = "/nonexistent\\gone.exe";

    SettingsBytes v1;
    v1.Magic("ZRondelV1").Int32(4).Text(present).Text(gone).Int32(0).Text(alsoPresent);
    SettingsBytes v2;
    v2.Magic("ZRondelV2").Int32(3).Entry(present, "C:\\w", "x", "hint").Entry(gone, "f", "", "h").Int32(0);
    SettingsBytes v3;
    v3.Magic("ZRondelV3").Int32(24).Entry(present, "", "", "").Entry(alsoPresent, "C:\\", "e", "h");
    for (int i = 2; i < 24; ++i)
        v3.Int32(0);
    v3.Trailer(false, true, 120, -40);

    // Whole names: a block that matches its slot, and one left behind by a
    // slot rewritten since.
    SettingsBytes whole = v3, stale = v3;
    whole.WholeNames(1, alsoPresent, "C:\\", u"\u65E5", u"C:\\\u6587");
    stale.WholeNames(0, gone, "", u"/tmp", u"");

    bool ok = WriteSeed(folder + "/v1.dat", v1) && WriteSeed(folder + "/v2.dat", v2) &&
              WriteSeed(folder + "/v3.dat", v3) && WriteSeed(folder + "/whole.dat", whole) &&
              WriteSeed(folder + "/stale.dat", stale);
    return ok ? 0 : 1;
}
