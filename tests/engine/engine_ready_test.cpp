#include "engine/engine_ready.h"

#include <gtest/gtest.h>

namespace zav2 {
namespace {

TEST(EngineReady, OnlyTheCanPlayEventsSetIt) {
    engineReady = 0;
    for (uint32_t event : {1u, 2u, 5u, 10u, 11u, 13u, 19u, 1009u})
        markEngineReadyOnCanPlay(event, 0, 0);
    EXPECT_EQ(engineReady.load(), 0);
    markEngineReadyOnCanPlay(14, 0, 0);
    EXPECT_EQ(engineReady.load(), 1);
    engineReady = 0;
    markEngineReadyOnCanPlay(15, 7, 9);
    EXPECT_EQ(engineReady.load(), 1);
    engineReady = 0;
}

}  // namespace
}  // namespace zav2
