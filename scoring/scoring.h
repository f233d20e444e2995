// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The numbers of the game: what each square is worth, how the running score changes and
// the text forms in which values and the score are shown. Plain C++, no toolkit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scoring {

inline constexpr int squaresPerRow = 6;
inline constexpr int squareCount = 30;
inline constexpr double rowStep = 200.0;
inline constexpr int secondBoardFactor = 2;

// Money of a first-board square: 200 for the top row up to 1000 for the bottom row.
double singleSquareValue(int index);

// Whether the 32-bit score can take a signed amount. Only wagers can carry it that far.
bool scoreCanTake(std::int32_t score, double amount);
// The score after adding a signed amount, held at the 32-bit limits rather than wrapping.
std::int32_t addToScore(std::int32_t score, double amount);

// A typed wager read from its decimal digits ("007" is 7); nothing for an empty text or one
// holding anything but digits.
std::optional<double> wagerValue(std::string_view digits);

// "$" and the number with its sign position: "$ 200", "$ 0", "$-400".
std::string moneyText(double amount);
// The score as plain decimal: "0", "600", "-400".
std::string scoreText(std::int32_t score);
// An amount as a board shows the score, after its "$": "$ 600", "$ -400". Outside the designed
// windows, the one form of money.
std::string amountText(std::int64_t amount);
// A square index as text ("14"), and back; nothing for a text that names no square.
std::string indexText(int index);
std::optional<std::int16_t> indexFromText(std::string_view text);
// "$ 600 Question".
std::string clueTitle(double value);

} // namespace scoring
