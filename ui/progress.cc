#include "ui/progress.h"

#include <windows.h>

#include <string>

#include "ui/app_state.h"
#include "ui/busy.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"

namespace {

bool g_shown = false;    // the information line shows a percentage
std::wstring g_saved;    // and this is what it showed before
unsigned g_percent = 0;  // the percentage it shows

unsigned Percent(uint64_t done, uint64_t total) {
  if (done >= total) return 100;
  // done * 100 fits below 2^64 for every size a disk holds; past that, a coarser division.
  const uint64_t percent = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
  return percent < 100 ? static_cast<unsigned>(percent) : 100;
}

// "0%" to "100%", into 5 characters.
void PercentText(unsigned percent, wchar_t* text) {
  if (percent >= 100) *text++ = L'1';
  if (percent >= 10) *text++ = static_cast<wchar_t>(L'0' + percent / 10 % 10);
  *text++ = static_cast<wchar_t>(L'0' + percent % 10);
  *text++ = L'%';
  *text = L'\0';
}

}  // namespace

void ShowProgress(uint64_t done, uint64_t total) {
  const unsigned percent = Percent(done, total);
  if (!g_shown || percent != g_percent) {
    if (!g_shown) g_saved = ControlWideText(ID_INFO);
    wchar_t text[8];
    PercentText(percent, text);
    SetDlgItemTextW(MainWindow, ID_INFO, text);
    g_shown = true;
    g_percent = percent;
  }
  PumpPaintMessages();
}

void EndProgress() {
  if (!g_shown) return;
  SetDlgItemTextW(MainWindow, ID_INFO, g_saved.c_str());
  g_shown = false;
}
