// The floor of `kkctl status`: a bare console program that opens each
// registry key the list file names ("HKCU<tab>key" lines), reads every
// value in it and prints one line a value, all in one write as kkctl does
// (a console or NUL takes each write on its own, which costs far more).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    FILE* list = std::fopen(argv[1], "rb");
    if (!list) return 1;
    char line[1024];
    std::string name(16384, '\0'), data(65536, '\0'), out;
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
            char sizes[32];
            std::snprintf(sizes, sizeof sizes, "\t%lu\t%lu\n", type, dataSize);
            out += std::string(tab + 1) + "\t" + name.c_str() + sizes;
        }
        RegCloseKey(key);
    }
    std::fclose(list);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
