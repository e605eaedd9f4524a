#include <windows.h>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TApplication application;
  try {
    Application->Initialize();
    Application->SetTitle("Vimbrel");
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
  } catch (...) {
    // Only start-up can get here; everything later is caught where it is dispatched.
    Application->HandleException();
    return 1;
  }
  return 0;
}
