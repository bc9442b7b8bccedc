#include "out_of_memory.h"

#include <windows.h>

#include <new>

void endProcessWhenOutOfMemory() {
    std::set_new_handler([] {
        // A wide literal: nothing more may be allocated here.
        MessageBoxW(nullptr, L"内存不足，程序将退出。", L"Tavrelo", MB_OK | MB_ICONERROR);
        ExitProcess(1);
    });
}
