// Drives the plug-in's settings dialog from a script of clicks (always, warning, ok, cancel),
// noting before and after each click what the dialog shows.
#pragma once
#include <string>
#include <vector>

#include "shot_folder.h"

// Starts afresh with script (comma-separated words) for the next dialog that shows; with drive
// false that dialog is left to a person. pause_ms: how long it may paint before each look.
void PrepareDialogScript(const std::string& script, int pause_ms, Shots* shots, bool drive);

// What the script saw and clicked, to be reported once the dialog has closed.
const std::vector<std::string>& DialogScriptLines();
