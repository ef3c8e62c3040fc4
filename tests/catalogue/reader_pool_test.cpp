// A reader held in its task (as the system holds a read of a share that stopped answering) is
// waited for by nobody, and the pool goes on with fresh readers. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "catalogue/reader_pool.h"

namespace korvalis {
namespace {

using namespace std::chrono_literals;

TEST(ReaderPool, NobodyWaitsForAReaderHeldInItsTask)
{
    struct Case {
        const char* name;
        bool shutDown;  // else: Wait with a grace, then another task
    };
    for (const Case c : {Case{"a wait with a grace", false}, Case{"the pool's end", true}}) {
        SCOPED_TRACE(c.name);
        std::atomic<int> started{0}, ended{0};
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> held{false};
        // On a thread of its own, so a pool that waits for the held reader fails the test.
        auto run = std::async(std::launch::async, [&] {
            ReaderPool pool(2, [&](std::function<void()> body) {
                ++started;
                return std::thread([&ended, body = std::move(body)]() mutable {
                    body();
                    body = nullptr;
                    ++ended;
                });
            });
            pool.Begin(
                [&] {
                    if (held.exchange(true)) return;  // the first reader to come is held
                    released.wait();
                },
                2);
            while (!held) std::this_thread::yield();
            if (c.shutDown) {
                pool.Shutdown();
            } else {
                pool.Wait(5ms);
                // The next task does not wait for the held reader, nor is it given to it.
                std::atomic<int> ran{0};
                pool.Begin([&] { ++ran; }, 2);
                pool.Wait();
                EXPECT_EQ(ran, 2);
                EXPECT_EQ(started, 3) << "one fresh reader in the held one's place";
            }
        });
        const bool returned = run.wait_for(10s) == std::future_status::ready;
        EXPECT_TRUE(returned) << "the pool waited for the held reader";
        EXPECT_EQ(ended, started - 1) << "every reader but the held one has ended";
        release.set_value();
        run.get();
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (ended < started && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
        EXPECT_EQ(ended, started) << "the held reader ends once it comes back";
    }
}

}  // namespace
}  // namespace korvalis
