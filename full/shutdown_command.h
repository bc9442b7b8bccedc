#pragma once

// Starts the system's shutdown command for an immediate shutdown, without
// waiting for it to end.
void startShutdownCommand();
