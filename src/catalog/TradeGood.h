#pragma once
// One kind of cargo. Only tier-1 goods have a base price of their own; the
// others are priced from the goods they are made of.

class TradeGood {
public:
    constexpr TradeGood(const char* name, int value, short tier) : name(name), value(value), tier(tier) {}

    constexpr const char* getName() const { return name; }
    constexpr int getValue() const { return value; }
    // Level in the production chain, 1 (raw) to 5.
    constexpr short getTier() const { return tier; }

private:
    const char* name;
    int value;
    short tier;
};

constexpr int TRADE_GOOD_COUNT = 15;

// The goods by row 0 to 14; the player sees them as product numbers 1 to 15.
extern const TradeGood* const tradeGoods[TRADE_GOOD_COUNT];
