// Ending the session while a work runs would end it halfway, with a piece or a temporary file
// half written: the window asks Windows to wait, with the reason shown on Vista and later.
#pragma once

// Gives Windows the reason to wait (kTextWorkBlocksShutdown), or takes it back. Windows XP has
// no such reason, and shows nothing.
void BlockShutdown(bool block);
