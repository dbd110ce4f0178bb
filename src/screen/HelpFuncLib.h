#pragma once
// Small helpers the whole game uses.

#include <algorithm>
#include <cstring>

// Start of a span of `size` centred in `total` (both halves truncate first).
int foundMiddle(int total, int size);

template <typename T>
void clearTable(T* table, int count) {
    for (int i = 0; i < count; ++i) table[i] = T{};
}

bool compareText(const char* a, const char* b);
bool fileExist(const char* name);

// Waits at most `timeout` ms for a key event on the running console.
bool isKeyPressed(unsigned int timeout);
