#pragma once

#include <functional>

namespace zelvo::app {

// Runs work on a worker thread and waits for it while the window keeps painting but drops
// every mouse and keyboard input. Rethrows what the work threw.
void runWithoutUserInput(const std::function<void()>& work);

}  // namespace zelvo::app
