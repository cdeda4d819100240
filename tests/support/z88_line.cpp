// The test Z88's line handling: sending and capturing on threads of their own, so that the
// program under test can read or write on the test's thread at the same time.
#include "tests/support/peer_line.h"
#include "tests/support/wait.h"
#include "tests/support/z88.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

std::thread sender;
std::atomic<bool> sendOk{true};

std::thread listener;
std::mutex heardLock;
Bytes heard;
std::atomic<bool> stopListening{false};
std::atomic<long long> quietFor{0};

}  // namespace

void Z88SendInBackground(const Bytes& bytes, Z88Pacing pacing)
{
    Z88WaitSent();
    sendOk = true;
    sender = std::thread([bytes, pacing] {
        for (size_t i = 0; i < bytes.size(); i++) {
            if (i == pacing.pauseBefore)
                Pause(pacing.pauseMs);
            else if (i > 0)
                Pause(pacing.gapMs);
            // Unpaced bytes go out in one write, as a fast sender fills the line.
            size_t run = 1;
            if (pacing.gapMs == 0) {
                run = bytes.size() - i;
                if (pacing.pauseBefore > i && pacing.pauseBefore < bytes.size())
                    run = pacing.pauseBefore - i;
            }
            if (!PeerSend(&bytes[i], run)) {
                sendOk = false;
                return;
            }
            i += run - 1;
        }
        if (pacing.hangUpAfter)
            ClosePeerLine();
    });
}

bool Z88WaitSent()
{
    if (sender.joinable())
        sender.join();
    return sendOk;
}

void Z88StartListening()
{
    Z88StopListening(0);
    {
        std::lock_guard<std::mutex> hold(heardLock);
        heard.clear();
    }
    stopListening = false;
    listener = std::thread([] {
        using Clock = std::chrono::steady_clock;
        auto lastByte = Clock::now();
        for (;;) {
            int byte = PeerReceiveByte(20);
            if (byte >= 0) {
                std::lock_guard<std::mutex> hold(heardLock);
                heard.push_back((unsigned char)byte);
                lastByte = Clock::now();
                continue;
            }
            auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastByte);
            if (stopListening && quiet.count() >= quietFor)
                return;
        }
    });
}

Bytes Z88StopListening(int quietMs)
{
    if (listener.joinable()) {
        quietFor = quietMs;
        stopListening = true;
        listener.join();
    }
    std::lock_guard<std::mutex> hold(heardLock);
    return heard;
}

size_t Z88HeardSoFar()
{
    std::lock_guard<std::mutex> hold(heardLock);
    return heard.size();
}
