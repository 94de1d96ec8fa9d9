// The plug-in's version: the one place the information record, the version resource and the
// release package take it from. Free of Windows headers, so the resource compiler reads it too.
#pragma once

#define VOSTREL_VERSION_TEXT "1.0"
#define VOSTREL_FILE_VERSION 1, 0, 0, 1
#define VOSTREL_FILE_VERSION_TEXT "1, 0, 0, 1"
