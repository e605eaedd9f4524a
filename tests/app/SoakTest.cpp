#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/app/MeterFixture.h"

namespace {

// What the process holds, as far as it can see from inside.
struct TFootprint {
  long long HeapBytes = 0;  // the live blocks of every heap of the process
  long long PrivateBytes = 0;
  long long WorkingSet = 0;
  int GdiObjects = 0;
  int UserObjects = 0;
};

long long LiveHeapBytes() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  long long live = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) live += entry.cbData;
    HeapUnlock(heap);
  }
  return live;
}

// GetGuiResources answers 0 under Wine 8. There a GDI handle with a zero upper half stands
// for whatever object holds that slot of the process's handle table, so probing every slot
// counts the live objects.
int LiveGdiObjects() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
    return static_cast<int>(reported);
  int live = 0;
  for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
  return live;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

// Under Wine: the thread's windows (top-level ones, hidden ones too, their children, and the
// message-only windows of the timers) and its menus. Wine's user handles are even numbers from
// 0x20 whose lower half alone finds the menu. Cursors, icons, hooks and accelerator tables
// are not counted there.
int LiveUserObjects() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
    return static_cast<int>(reported);
  int live = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&live));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) ++live;
  }
  for (UINT_PTR handle = 0x20; handle <= 0xFFFE; handle += 2)
    if (IsMenu(reinterpret_cast<HMENU>(handle))) ++live;
  return live;
}

TFootprint Measure() {
  TFootprint footprint;
  // Objects first: under 64-bit Wine the first probe of the handle slots commits 1.8 MB of its
  // own, which would otherwise count as the ticks' growth.
  footprint.GdiObjects = LiveGdiObjects();
  footprint.UserObjects = LiveUserObjects();
  footprint.HeapBytes = LiveHeapBytes();
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  // The private commit; Wine 8 leaves the newer PrivateUsage at 0.
  footprint.PrivateBytes = static_cast<long long>(counters.PagefileUsage);
  footprint.WorkingSet = static_cast<long long>(counters.WorkingSetSize);
  return footprint;
}

using Soak = Meter;

TEST_F(Soak, TheCountsSeeMemoryAndObjectsComeAndGo) {
  const TFootprint before = Measure();
  ASSERT_GT(before.PrivateBytes, 0);
  ASSERT_GT(before.WorkingSet, 0);
  {
    const std::string block(1000, 'x');
    TUniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    TUniqueFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                 0, 0, 0, L"Tahoma"));
    TUniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         nullptr, nullptr));
    HMENU menu = CreatePopupMenu();
    const TFootprint during = Measure();
    DestroyMenu(menu);
    EXPECT_GE(during.HeapBytes, before.HeapBytes + 1000);
    EXPECT_EQ(during.GdiObjects, before.GdiObjects + 2);
    EXPECT_EQ(during.UserObjects, before.UserObjects + 2);
  }
  const TFootprint after = Measure();
  EXPECT_EQ(after.HeapBytes, before.HeapBytes);
  EXPECT_EQ(after.GdiObjects, before.GdiObjects);
  EXPECT_EQ(after.UserObjects, before.UserObjects);
}

TEST_F(Soak, TenThousandTicksLeaveMemoryAndObjectsAsTheyWere) {
  constexpr int kWarmUp = 500;
  constexpr int kTicks = 10000;
  // The load changes at every tenth tick, as a real one does now and then: those ticks write
  // the caption and redraw the bar (a few milliseconds each under Wine), the others find
  // nothing to write. Now and then the value is above 100, and every 120 ticks (60 s) the
  // reset tick comes.
  for (int i = 0; i < kWarmUp + kTicks; ++i) {
    const int step = i / 10;
    Usage->Script.push_back(Gives(step % 25 == 24 ? 255 : step * 37 % 101));
  }
  const auto run = [](int from, int to) {
    for (int i = from; i < to; ++i) {
      Form1->Timer1->Tick();
      if (i % 120 == 119) Form1->Timer2->Tick();
      while (Application->ProcessMessage()) {
      }
    }
  };
  run(0, kWarmUp);
  const TFootprint before = Measure();
  run(kWarmUp, kWarmUp + kTicks);
  const TFootprint after = Measure();

  ASSERT_EQ(Usage->Samples, static_cast<std::size_t>(kWarmUp + kTicks));
  ASSERT_EQ(Usage->Resets, (kWarmUp + kTicks) / 120);
  std::printf(
      "soak: heap %+lld bytes, private bytes %+lld KB, working set %+lld KB, GDI objects %d -> "
      "%d, USER objects %d -> %d\n",
      after.HeapBytes - before.HeapBytes, (after.PrivateBytes - before.PrivateBytes) / 1024,
      (after.WorkingSet - before.WorkingSet) / 1024, before.GdiObjects, after.GdiObjects,
      before.UserObjects, after.UserObjects);
  // A leak of one small block per tick would be 80 KB of heap by now.
  EXPECT_LE(after.HeapBytes - before.HeapBytes, 1024);
  EXPECT_LE(after.PrivateBytes - before.PrivateBytes, 64 * 1024);
  EXPECT_LE(after.WorkingSet - before.WorkingSet, 128 * 1024);
  EXPECT_EQ(after.GdiObjects, before.GdiObjects);
  EXPECT_EQ(after.UserObjects, before.UserObjects);
}

}  // namespace
