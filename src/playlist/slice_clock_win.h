// The end of a slice of work done between messages (a folder walked, titles
// read): after a set time, or as soon as anything waits in the queue, a
// message sent by another program too, which would otherwise wait for it.
#pragma once

#include <windows.h>

#include <functional>

namespace zav2 {

class SliceClock {
  public:
    explicit SliceClock(double seconds) : until_(now() + seconds) {}

    // The queue is looked at once a millisecond rather than after every step:
    // under Wine each look is a round trip to the server, a good part of what
    // reading a title costs.
    bool goOn() {
        const double at = now();
        if (at >= until_)
            return false;
        if (at < nextLook_)
            return true;
        nextLook_ = at + 0.001;
        constexpr UINT kWaiting = QS_SENDMESSAGE | QS_POSTMESSAGE | QS_INPUT | QS_HOTKEY;
        return HIWORD(GetQueueStatus(kWaiting)) == 0;
    }
    std::function<bool()> keepGoing() {
        return [this] { return goOn(); };
    }

  private:
    static double now() {
        LARGE_INTEGER frequency{};
        LARGE_INTEGER counter{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
        return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

    double until_;
    double nextLook_ = 0;
};

}  // namespace zav2
