// The current user's registry values that the launcher reads or writes, as
// the tests see them: any value under HKEY_CURRENT_USER, kept and put back
// around a test, the launcher's value in the Run key, and a whole Run key's
// contents for proving that a key was left alone.
#ifndef ZRONDEL_TESTS_RUN_KEY_H
#define ZRONDEL_TESTS_RUN_KEY_H

#include <windows.h>

#include <string>

struct RegistryValue {
    bool exists;
    DWORD type;
    std::string data; // every stored byte, a REG_SZ's terminating NUL included
};

// The value under HKEY_CURRENT_USER's key; writing creates the key.
RegistryValue ReadUserValue(const char* keyPath, const char* name);
bool WriteUserValue(const char* keyPath, const char* name, DWORD type, const std::string& data);
void DeleteUserValue(const char* keyPath, const char* name);

// Keeps whatever the value was, removes it for the test and puts it back
// afterwards; keys that did not exist before are removed again.
class UserValueGuard {
public:
    UserValueGuard(const char* keyPath, const char* name);
    ~UserValueGuard();
    UserValueGuard(const UserValueGuard&) = delete;
    UserValueGuard& operator=(const UserValueGuard&) = delete;

private:
    std::string keyPath_;
    std::string name_;
    RegistryValue saved_;
    std::string firstMissingKey_; // the outermost key of the path that did not exist; "" when all did
};

// The value "Ta[V]en Software [Z] Rondel" under HKCU's Run key.
RegistryValue ReadLauncherRunValue();
bool WriteLauncherRunValue(DWORD type, const std::string& data);
void DeleteLauncherRunValue();

// Every value of root's Run key (names, types, data), in the key's order;
// empty when the key does not exist.
std::string RunKeyContents(HKEY root);

// Keeps whatever launcher value the current user's Run key had, removes it
// for the test and puts it back afterwards.
class LauncherRunValueGuard : public UserValueGuard {
public:
    LauncherRunValueGuard();
};

#endif
