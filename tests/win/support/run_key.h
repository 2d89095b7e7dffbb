// The Run keys of the registry as the tests see them: the launcher's value
// under the current user, and a whole key's contents for proving that a key
// was left alone.
#ifndef ZRONDEL_TESTS_RUN_KEY_H
#define ZRONDEL_TESTS_RUN_KEY_H

#include <windows.h>

#include <string>

struct RunValue {
    bool exists;
    DWORD type;
    std::string data; // every stored byte, a REG_SZ's terminating NUL included
};

// The value "Ta[V]en Software [Z] Rondel" under HKCU's Run key.
RunValue ReadLauncherRunValue();
bool WriteLauncherRunValue(DWORD type, const std::string& data);
void DeleteLauncherRunValue();

// Every value of root's Run key (names, types, data), in the key's order;
// empty when the key does not exist.
std::string RunKeyContents(HKEY root);

// Keeps whatever launcher value the current user's Run key had, removes it
// for the test and puts it back afterwards.
class LauncherRunValueGuard {
public:
    LauncherRunValueGuard();
    ~LauncherRunValueGuard();
    LauncherRunValueGuard(const LauncherRunValueGuard&) = delete;
    LauncherRunValueGuard& operator=(const LauncherRunValueGuard&) = delete;

private:
    RunValue saved_;
};

#endif
