#include "app/Unit1.h"

#include <string>

#include "framework/Application.h"

TForm1* Form1 = nullptr;

void TForm1::FormCreate() {
  // The hidden window would carry the taskbar button and the task-switcher entry.
  const HWND owner = Application->Handle();
  SetWindowLongA(owner, GWL_EXSTYLE, GetWindowLongA(owner, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

void TForm1::Timer1Timer() {
  const int usage = CpuUsage1->GetUsage();
  ProgressBar1->SetPosition(usage);
  // The caption repeats what the bar shows, so it never says more than 100%.
  SetCaption("Vimbrel - " + std::to_string(ProgressBar1->Position()) + "%");
}

void TForm1::Timer2Timer() {
  CpuUsage1->ResetCounters();
}
