// The product version, kept here only. The version resources of every built
// file, the application manifest and the setup programs take it from these
// lines, and so should every other place that shows or compares it (the
// window caption, the update check). CMake and scripts/package read them
// with a pattern, so keep the form "#define NAME value".
#pragma once

#define TALLIVO_VERSION_MAJOR 4
#define TALLIVO_VERSION_MINOR 4
// As the user sees it and as the update server answers it: minor in two digits.
#define TALLIVO_VERSION_TEXT "4.04"

#if defined(__cplusplus) && !defined(RC_INVOKED)
namespace tallivo::version_check {
constexpr int Digit(char c) { return c - '0'; }
constexpr char kText[] = TALLIVO_VERSION_TEXT;
static_assert(sizeof kText == 5 && kText[1] == '.', "version text is \"M.mm\"");
static_assert(Digit(kText[0]) == TALLIVO_VERSION_MAJOR, "version text and major number differ");
static_assert(Digit(kText[2]) * 10 + Digit(kText[3]) == TALLIVO_VERSION_MINOR, "version text and minor number differ");
}  // namespace tallivo::version_check
#endif
