// COM for the window thread, which WIC and the shell's icons need.
#pragma once

namespace forms {

// Starts COM on this thread on first use (single-threaded apartment) and ends it when the thread ends.
// False when COM can't be used here.
bool EnsureCom();

}  // namespace forms
