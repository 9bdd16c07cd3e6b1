// Bounded sockets: a connection to our own listener carries bytes both
// ways, a silent peer times out instead of holding the caller, a closed
// port fails at once.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/network.h"

namespace hs {
namespace {

TEST(Network, BytesBothWaysTimeoutsAndRefusal) {
    const auto network = makePlatformNetwork();
    auto listener = network->listen("127.0.0.1");
    ASSERT_TRUE(listener);
    std::string error;
    auto client = network->connect("127.0.0.1", listener->port(), 5000, error);
    ASSERT_TRUE(client) << error;
    auto server = listener->accept(5000);
    ASSERT_TRUE(server);
    EXPECT_EQ(client->localAddress(), "127.0.0.1");

    ASSERT_TRUE(client->sendAll("hello", 5000));
    char buffer[16] = {};
    ASSERT_EQ(server->receive(buffer, sizeof buffer, 5000), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");

    // Nothing more comes: the wait ends with the timeout.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client->receive(buffer, sizeof buffer, 200), kNetTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    server.reset();
    EXPECT_EQ(client->receive(buffer, sizeof buffer, 5000), kNetClosed);

    const int freePort = listener->port();
    listener.reset();
    const auto refused = std::chrono::steady_clock::now();
    EXPECT_FALSE(network->connect("127.0.0.1", freePort, 5000, error));
    EXPECT_LT(std::chrono::steady_clock::now() - refused, std::chrono::seconds(3));  // not the timeout
    EXPECT_FALSE(listener = network->listen("not an address"));
}

// Cancelling the token ends a blocked receive and a waiting accept at once,
// a receive as a failure (never as the end of the content), and fails what
// comes later.
TEST(Network, ACancelledTokenEndsEveryWait) {
    auto cancel = std::make_shared<CancelToken>();
    const auto network = makePlatformNetwork(cancel);
    auto listener = network->listen("127.0.0.1");
    ASSERT_TRUE(listener);
    std::string error;
    auto client = network->connect("127.0.0.1", listener->port(), 5000, error);
    ASSERT_TRUE(client) << error;
    auto server = listener->accept(5000);
    ASSERT_TRUE(server);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel->cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    char buffer[16];
    EXPECT_EQ(client->receive(buffer, sizeof buffer, 60000), kNetError);
    EXPECT_FALSE(listener->accept(60000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    canceller.join();
    EXPECT_FALSE(network->connect("127.0.0.1", listener->port(), 5000, error));
}

}  // namespace
}  // namespace hs
