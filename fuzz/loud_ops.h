// A table of platform operations that all fail loudly: each one, when called, names itself on
// stderr and aborts. A fake file system starts from it and replaces exactly the operations
// that the code under test is meant to use, so that an operation it forgot (a new one, or one
// that the code has come to use since) stops the run at once instead of quietly reaching the
// real system with made-up handles.
#pragma once

#include "platform/platform.h"

PlatformOps LoudPlatformOps();
