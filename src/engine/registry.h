// The registry layer every subsystem reads and writes through. No
// operation reports an error: a failure gives the neutral result ("" , 0,
// -1, false or an empty list) and leaves the registry as the system left it.
// Reads and enumerations open their key with open-or-create semantics, so
// callers that care whether a key exists ask KeyExists first.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kk {

bool KeyExists(HKEY root, const std::string& key);
int GetValueType(HKEY root, const std::string& key, const std::string& name);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);

std::string GetString(HKEY root, const std::string& key, const std::string& name);
void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& text);
int32_t GetDword(HKEY root, const std::string& key, const std::string& name);
void SetDword(HKEY root, const std::string& key, const std::string& name, int32_t number);
std::string GetBinaryHex(HKEY root, const std::string& key, const std::string& name);
// A value of any type from its exact bytes, and a key on its own.
void WriteRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes);
void MakeKey(HKEY root, const std::string& key);
// A value's type and exact bytes; false, and nothing created, when it is not there.
bool ReadRaw(HKEY root, const std::string& key, const std::string& name, DWORD& type, std::string& data);
void SetBinaryHex(HKEY root, const std::string& key, const std::string& name, const std::string& hex);

void DeleteValue(HKEY root, const std::string& key, const std::string& name);
void DeleteKey(HKEY root, const std::string& key);

enum class ClearMode { Subkeys = 0, Values = 1 };
void ClearKey(HKEY root, const std::string& key, ClearMode mode);

// Replaces the target tree with a copy of the source in which every value
// is a string value.
void CopyKey(HKEY sourceRoot, const std::string& sourceKey, HKEY targetRoot,
             const std::string& targetKey);

// Names in the order the registry enumerates them, each cut at its first NUL.
std::vector<std::string> EnumValues(HKEY root, const std::string& key);
std::vector<std::string> EnumKeys(HKEY root, const std::string& key);
// Every value of a key with its type and data in one pass, in enumeration
// order: for a list of hundreds of values, one read each instead of a
// lookup each. The text is the data cut at its first NUL, as GetString
// gives it; its type tells whether it was a string at all. Unlike the
// other reads it never creates the key: a missing key has no values.
struct NamedValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string text;
};
std::vector<NamedValue> ReadValues(HKEY root, const std::string& key);
// A text from the 64-bit view of a 64-bit system's registry, which a
// 32-bit program reaches only by asking for it; "" without such a view.
std::string GetString64(HKEY root, const std::string& key, const std::string& name);
// Called with each key the layer enumerates (values or subkeys), so tests
// and benchmarks can count them; null stops it.
using EnumerationObserver = void (*)(HKEY root, const std::string& key, void* context);
void ObserveEnumerations(EnumerationObserver observer, void* context);

// "HKEY_CURRENT_USER\Software" -> HKEY_CURRENT_USER; unknown names -> nullptr.
HKEY RootKeyFromName(const std::string& path);

// Text and path helpers of the same layer.

// The number a setting's text starts with, as the suite has always read
// them: leading blanks skipped, anything after the number ignored, 0 when
// there is no number ("01" is 1, "1.5" is 1.5, "yes" is 0).
double TextToNumber(const std::string& text);
inline long TextToInteger(const std::string& text) { return static_cast<long>(TextToNumber(text)); }
std::string TrimAtNul(const std::string& text);
// The text without any of the junk characters at either end.
std::string TrimCharacters(const std::string& text, const std::string& junk);
// The text without the blanks (spaces) at either end.
inline std::string TrimSpaces(const std::string& text) { return TrimCharacters(text, " "); }
// The text in lower case as the system lowers it (its ANSI code page), for
// comparisons that ignore case the way Windows does.
std::string LowerCase(std::string text);
std::string ExpandEnvironment(const std::string& text);
std::string LongPathName(const std::string& path);
bool IsDirectory(const std::string& path);
bool FileExists(const std::string& path);
std::string TextAfterLast(const std::string& text, const std::string& separator);
std::string WithTrailingBackslash(const std::string& path);
std::string JoinKey(const std::string& parent, const std::string& child);

// Bytes <-> the layer's hexadecimal transport (two upper-case digits a byte).
std::string BytesToHex(const std::string& bytes);
std::string HexToBytes(const std::string& hex);

}  // namespace kk
