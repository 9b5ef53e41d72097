// The floor of `kkctl status`: a bare console program that opens each
// registry key the list file names ("HKCU<tab>key" lines), reads every
// value in it and prints one line a value.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    FILE* list = std::fopen(argv[1], "rb");
    if (!list) return 1;
    char line[1024];
    std::string name(16384, '\0'), data(65536, '\0');
    while (std::fgets(line, sizeof line, list)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* tab = std::strchr(line, '\t');
        if (!tab) continue;
        *tab = '\0';
        const HKEY root = std::strcmp(line, "HKCU") == 0   ? HKEY_CURRENT_USER
                          : std::strcmp(line, "HKLM") == 0 ? HKEY_LOCAL_MACHINE
                                                           : HKEY_CLASSES_ROOT;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, tab + 1, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        for (DWORD i = 0;; ++i) {
            DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
            if (RegEnumValueA(key, i, &name[0], &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                              &dataSize) != ERROR_SUCCESS)
                break;
            std::printf("%s\t%s\t%lu\t%lu\n", tab + 1, name.c_str(), type, dataSize);
        }
        RegCloseKey(key);
    }
    std::fclose(list);
    return 0;
}
