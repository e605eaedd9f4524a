#include "app/Unit1.h"

#include <string>

#include "app/Maker.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Text.h"

TForm1* Form1 = nullptr;

namespace {

const char kSection[] = "Vimbrel";
constexpr std::uint8_t kDefaultOpacity = 200;

struct TWindowMenuItem {
  WPARAM Command;
  const char* Text;  // none for a separator
};

// Items 6 and 7 line up under the text that follows "2000/XP - ".
constexpr TWindowMenuItem kWindowMenuItems[] = {
    {0, nullptr},
    {cmAbout, "Vimbrelのバージョン情報"},
    {cmSupportPage, "サポートページへ"},
    {0, nullptr},
    {cmTranslucent, "2000/XP - 半透明にする"},
    {cmOpaque, "               半透明化解除"},
    {cmOpacity, "               透明度変更"},
};

// The shell and the libraries it brings are loaded the first time the page is asked for, not
// at every start. Once there the shell is pinned: what it started may still run in it when
// the program ends.
using TShellExecute = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

TShellExecute LoadShellExecute() noexcept {
  const TUniqueModule shell32(LoadLibraryW(L"shell32.dll"));
  HMODULE pinned = nullptr;
  if (!shell32 || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"shell32.dll", &pinned))
    return nullptr;
  return ProcAddress<TShellExecute>(pinned, "ShellExecuteA");
}

void OpenSupportPage() {
  static const TShellExecute shellExecute = LoadShellExecute();
  if (shellExecute) shellExecute(nullptr, nullptr, kSupportPage, nullptr, nullptr, SW_HIDE);
}

}  // namespace

LPARAM PackScreenPoint(POINT point) noexcept {
  return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

void TForm1::FormCreate() {
  // The hidden window would carry the taskbar button and the task-switcher entry.
  const HWND owner = Application->Handle();
  SetWindowLongA(owner, GWL_EXSTYLE, GetWindowLongA(owner, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  AddWindowMenuItems();
  LoadSettings();
}

void TForm1::AddWindowMenuItems() {
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  // 0xF060 as a position lies past the end of the menu, so every item lands last.
  constexpr UINT kPastTheEnd = 0xF060;
  for (const TWindowMenuItem& item : kWindowMenuItems) {
    const std::wstring text = item.Text ? FromShiftJis(item.Text) : std::wstring();
    InsertMenuW(menu, kPastTheEnd, MF_BYPOSITION, item.Command, item.Text ? text.c_str() : nullptr);
  }
}

void TForm1::LoadSettings() {
  IniKova1->ReadPosition(kSection, "Window", *this);
  SetAlphaBlend(IniKova1->ReadBool(kSection, "Alpha", false));
  // An opacity out of range would wrap to its low byte, perhaps an invisible 0.
  const std::int32_t opacity = IniKova1->ReadInteger(kSection, "AlphaValue", kDefaultOpacity);
  SetAlphaBlendValue(opacity >= 0 && opacity <= 255 ? static_cast<std::uint8_t>(opacity)
                                                    : kDefaultOpacity);
}

void TForm1::SaveSettings() {
  IniKova1->WritePosition(kSection, "Window", *this);
  IniKova1->WriteBool(kSection, "Alpha", AlphaBlend());
  IniKova1->WriteInteger(kSection, "AlphaValue", AlphaBlendValue());
}

void TForm1::FormClose() {
  SaveSettings();
}

// A user who logs off with the meter running keeps where it was and how it looked.
void TForm1::FormEndSession() {
  SaveSettings();
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

void TForm1::ProgressBar1MouseDown(TMouseButton, TShiftState shift, int, int) {
  if (!shift.Contains(ssRight)) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  constexpr UINT kPopupWindowMenu = 0x0313;
  SendMessageA(Handle(), kPopupWindowMenu, 0, PackScreenPoint(cursor));
}

void TForm1::WMSysCommand(WPARAM command) {
  switch (command) {
    case cmAbout:
      Application->MessageBox(FromShiftJis(std::string("Vimbrel v.1.27\n\n") + kMakerLine),
                              FromShiftJis("バージョン情報"), MB_ICONINFORMATION | MB_OK);
      break;
    case cmSupportPage:
      OpenSupportPage();
      break;
    case cmTranslucent:
      SetAlphaBlend(true);
      break;
    case cmOpaque:
      SetAlphaBlend(false);
      break;
    case cmOpacity:
      Form2->ShowModal();
      break;
  }
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Ours first, then always the system's own handling, so Move and Close keep working.
  if (message == WM_SYSCOMMAND) WMSysCommand(wParam);
  return TForm::HandleMessage(message, wParam, lParam);
}
