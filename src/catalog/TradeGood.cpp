#include "catalog/TradeGood.h"

namespace {

// Constant-initialised, so other globals' initialisers can already use it.
constexpr TradeGood goodRows[TRADE_GOOD_COUNT] = {
    {"Nano-Tech", 0, 5},    {"Robots", 0, 5},       {"Computers", 0, 5},  {"Nano-parts", 0, 4},
    {"Mechanics", 0, 4},    {"Electronics", 0, 4},  {"Warheads", 0, 3},   {"Parts", 0, 3},
    {"Fiber", 0, 3},        {"Glass", 0, 2},        {"Energy cells", 0, 2}, {"Alloys", 0, 2},
    {"Wood", 5, 1},         {"Cristals", 100, 1},   {"Ore", 20, 1},
};

}  // namespace

constinit const TradeGood* const tradeGoods[TRADE_GOOD_COUNT] = {
    &goodRows[0], &goodRows[1], &goodRows[2],  &goodRows[3],  &goodRows[4],
    &goodRows[5], &goodRows[6], &goodRows[7],  &goodRows[8],  &goodRows[9],
    &goodRows[10], &goodRows[11], &goodRows[12], &goodRows[13], &goodRows[14],
};
