#pragma once
// Why a planet screen refused what the player asked: the text of its ERROR
// box and the box's width.

struct Refusal {
    const char* text;
    int width;
};

// Refusals that more than one planet screen gives.
namespace refusals {
inline constexpr Refusal NO_CREDITS{"You don't have enought credits!", 37};
inline constexpr Refusal NO_SPACE{"You don't have enought free space!", 38};
inline constexpr Refusal WRONG_AMOUNT{"You typed wrong amount!", 29};
}  // namespace refusals
