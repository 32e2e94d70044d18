// A second thread beside the caller's, which runs the tasks handed to it one at a time: the
// file engines hash and compute on it while they read and write (a copy hashes one buffer there
// while it writes that buffer and reads the next; the recovery pass shares its hashing and
// arithmetic between both threads beside its reads).
//
// Handing a task over and waiting for it cost next to nothing while the two threads keep each
// other busy: each side first watches for the other for a moment and only then goes to sleep
// until it is woken. Under Wine, waking a sleeping thread goes through the Wine server and
// costs tens of microseconds, which a buffer's hashing would pay a thousand times per GiB.
#pragma once

struct Helper;

// Hands `task(data)` to the helper, which runs it on its thread; returns at once. The task
// handed over before must have been waited for. What the caller wrote before handing it over
// is seen by the task.
void HandToHelper(Helper* helper, void (*task)(void* data), void* data);
// Returns once the task handed over last has run (at once when there is none); what the task
// wrote is then seen by the caller.
void WaitForHelper(Helper* helper);

// For the platform layers: the loop of the helper's thread, and its state, made and ended by
// the platform's startHelper and endHelper (platform/platform.h).
void RunHelper(Helper* helper);
