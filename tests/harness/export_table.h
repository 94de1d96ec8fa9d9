// The fifteen functions the plug-in exports, as a host relies on them: one table for every
// Windows test, checked against the built module (its .def file is the plug-in's own statement).
#pragma once

struct ExportContract {
  int ordinal;
  const char* name;
  int arguments;  // 32-bit arguments, removed from the stack by the function itself
  unsigned long returns;
};

const ExportContract kExportTable[] = {
    {1, "BKC_OnStart", 0, 0},        {2, "BKC_OnExit", 0, 0},
    {3, "BKC_OnMenuInit", 3, 0},     {4, "BKC_OnOpenFolder", 1, 0},
    {5, "BKC_OnOpenMail", 1, 0},     {6, "BKC_OnEveryMinute", 0, 0},
    {7, "BKC_OnOpenCompose", 2, 0},  {8, "BKC_OnOutgoing", 2, 0},
    {9, "BKC_OnKeyDispatch", 3, 0},  {10, "BKC_OnRetrieve", 2, 0},
    {11, "BKC_OnSend", 1, 0},        {12, "BKC_OnFinishRetrieve", 1, 0},
    {13, "BKC_OnPlugInSetup", 1, 1}, {14, "BKC_OnPlugInInfo", 1, 0},
    {15, "BKC_OnDragDrop", 4, 0},
};
const int kExportCount = sizeof kExportTable / sizeof kExportTable[0];
