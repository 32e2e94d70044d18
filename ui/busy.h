// A split or restore at work, on the one thread. While it runs the window repaints but takes
// no input, and no second split or restore starts inside it; the keyboard and mouse input
// made meanwhile is discarded when it ends.
#pragma once

// Whether a split or restore is at work. A command that finds one at work does nothing: the
// paint pump below also delivers messages that other programs send, a click on 分割 for one.
bool WorkRunning();
// The work starts: from now on the streamed engines' progress shows in the information line.
void BeginWork();
// The work has ended: the information line shows again what it showed before, the input made
// meanwhile is discarded, and an Enter key still held counts as already pressed, so that it
// splits neither now nor when released.
void EndWork();
// Lets the window repaint what needs it (paint messages only) and discards the keyboard and
// mouse input queued so far. Called during the work.
void PumpPaintMessages();
