#include "ui/app_state.h"

HWND MainWindow = nullptr;
HFONT SharedFont = nullptr;
HBRUSH BackgroundBrush = nullptr;
int32_t EnterLatch = 0;
