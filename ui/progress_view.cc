#include "ui/progress_view.h"

#include <string>

#include "platform/platform.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/taskbar.h"

namespace {

// Whether percentages may show, whether one has, and the information line's text before it.
bool g_open = false;
bool g_shown = false;
std::wstring g_savedInfo;

// "0%" to "100%".
std::wstring PercentText(unsigned percent) {
  char text[8];
  FormatText(text, sizeof text, "%u%%", percent);
  return WidenAscii(text);
}

}  // namespace

unsigned WorkPercent(uint64_t done, uint64_t total) {
  if (done >= total) return 100;
  // done * 100 fits below 2^64 for every size a disk holds; past that, a coarser division.
  const uint64_t percent = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
  return percent < 100 ? static_cast<unsigned>(percent) : 100;
}

void BeginProgressView() {
  g_open = true;
  g_shown = false;
}

void ShowWorkProgress(unsigned percent) {
  if (!g_open) return;
  if (!g_shown) g_savedInfo = ControlWideText(ID_INFO);
  g_shown = true;
  ShowInfo(PercentText(percent));
  ShowTaskbarProgress(MainWindow, percent);
}

void EndProgressView() {
  if (g_shown) ShowInfo(g_savedInfo);
  g_open = false;
  g_shown = false;
  ClearTaskbarProgress(MainWindow);
}
