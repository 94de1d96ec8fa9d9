// The record that describes the plug-in to the host. Free of Windows headers.
#pragma once

struct PluginInfo {
  char name[80];
  char vendor[80];
  char version[80];
  char description[256];
};
static_assert(sizeof(PluginInfo) == 496, "the host expects a 496-byte record");

// Writes the four strings; the bytes after each terminating NUL stay as the caller had them.
void FillPluginInfo(PluginInfo* info);
