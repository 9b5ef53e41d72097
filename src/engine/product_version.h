// The program's own version; the version resource is built from the same numbers.
#pragma once

#define KK_VERSION_MAJOR 4
#define KK_VERSION_MINOR 2
#define KK_VERSION_REVISION 1

#define KK_STR2(x) #x
#define KK_STR(x) KK_STR2(x)
#define KK_VERSION_TEXT KK_STR(KK_VERSION_MAJOR) "." KK_STR(KK_VERSION_MINOR) "." KK_STR(KK_VERSION_REVISION)
