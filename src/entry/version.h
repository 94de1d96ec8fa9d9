// The plug-in's version: the one place the information record, the version resource and the
// release package take it from. Free of Windows headers, so the resource compiler reads it too.
#pragma once

#define VOSTREL_VERSION_MAJOR 1
#define VOSTREL_VERSION_MINOR 0
#define VOSTREL_VERSION_PATCH 0
#define VOSTREL_VERSION_BUILD 1

// Everything below is derived from the four numbers.
#define VOSTREL_QUOTE(x) #x
#define VOSTREL_TEXT(x) VOSTREL_QUOTE(x)
// "1.0": the information record and the release package's name.
#define VOSTREL_VERSION_TEXT \
  VOSTREL_TEXT(VOSTREL_VERSION_MAJOR) "." VOSTREL_TEXT(VOSTREL_VERSION_MINOR)
// 1, 0, 0, 1 and "1, 0, 0, 1": the version resource.
#define VOSTREL_FILE_VERSION \
  VOSTREL_VERSION_MAJOR, VOSTREL_VERSION_MINOR, VOSTREL_VERSION_PATCH, VOSTREL_VERSION_BUILD
#define VOSTREL_FILE_VERSION_TEXT                             \
  VOSTREL_TEXT(VOSTREL_VERSION_MAJOR)                         \
  ", " VOSTREL_TEXT(VOSTREL_VERSION_MINOR) ", " VOSTREL_TEXT( \
      VOSTREL_VERSION_PATCH) ", " VOSTREL_TEXT(VOSTREL_VERSION_BUILD)
