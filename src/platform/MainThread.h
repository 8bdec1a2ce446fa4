#pragma once

#include <functional>

// "Main queue" calls: work handed to the thread that runs the application's
// event loop. async() queues without waiting; sync() waits for the result and
// runs at once when already on the main thread (so it never deadlocks there).
class MainThread
{
public:
    static bool isCurrent();
    static void async(std::function<void()> work);
    static void sync(const std::function<void()> &work);
    // Queues work after a delay, on the main thread.
    static void after(int milliseconds, std::function<void()> work);
};
