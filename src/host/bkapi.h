// The plug-in's binding to the functions that the host's executable exports.
#pragma once
#include <windows.h>

class BkApi {
 public:
  static const int kSlotCount = 54;

  // Constant: the module has no start-up code to run constructors, so bkapi is built into it.
  constexpr BkApi() : slots_(), module_(nullptr) {}

  // Looks up every host function by name in the executable; TRUE when all are there.
  BOOL Bind();
  // Forgets the host's module when the plug-in is unloaded; the slots keep their values.
  void Unbind() { module_ = NULL; }

  LPCSTR GetVersion();
  int GetWindowHandles(HWND* main, HWND* second, HWND* third, HWND* fourth);
  int GetSpecifiedHeader(LPCSTR name, LPSTR buffer, int size);

  FARPROC Slot(int index) const { return slots_[index]; }
  HMODULE Module() const { return module_; }

 private:
  FARPROC slots_[kSlotCount];
  HMODULE module_;
};

// Host function names in slot order.
extern const char* const kBkApiNames[BkApi::kSlotCount];

extern BkApi bkapi;
