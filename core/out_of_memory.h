#pragma once

// An allocation that cannot be satisfied shows an error box and ends the process.
void endProcessWhenOutOfMemory();
