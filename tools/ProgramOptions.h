// SPDX-License-Identifier: GPL-3.0-or-later
// The options a person types for a program that otherwise reads its input from another program:
// --help and --version, nothing else.
#pragma once

#include <cstdio>
#include <cstring>

// Answers the exit code when the program is to leave (0 after --help or --version, 2 with the
// usage on standard error for anything else), or -1 when it was started without arguments.
inline int StandardOptions(int argc, char** argv, const char* program, const char* version,
                           const char* usage) {
  if (argc < 2) return -1;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %s\n", program, version);
    return 0;
  }
  std::fprintf(stderr, "%s: unknown argument %s\n%s", program, argv[1], usage);
  return 2;
}
