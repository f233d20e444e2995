// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/scoring.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace scoring {

double singleSquareValue(int index)
{
    return std::floor((std::floor(index / double(squaresPerRow)) + 1) * rowStep);
}

namespace {

constexpr double lowestScore = std::numeric_limits<std::int32_t>::min();
constexpr double highestScore = std::numeric_limits<std::int32_t>::max();

} // namespace

bool scoreCanTake(std::int32_t score, double amount)
{
    const double result = std::nearbyint(score + amount);
    return result >= lowestScore && result <= highestScore;
}

std::int32_t addToScore(std::int32_t score, double amount)
{
    const double result = std::nearbyint(score + amount);
    if (std::isnan(result))
        return score;
    return static_cast<std::int32_t>(std::clamp(result, lowestScore, highestScore));
}

std::optional<double> wagerValue(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    double value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string moneyText(double amount)
{
    const long long whole = std::llround(amount);
    std::string text = whole < 0 ? "$" : "$ ";
    text += std::to_string(whole);
    return text;
}

std::string scoreText(std::int32_t score)
{
    return std::to_string(score);
}

std::string amountText(std::int64_t amount)
{
    return "$ " + std::to_string(amount);
}

std::string indexText(int index)
{
    return std::to_string(index);
}

std::optional<std::int16_t> indexFromText(std::string_view text)
{
    std::int16_t index = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error != std::errc() || end != text.data() + text.size() || index < 0
        || index >= squareCount)
        return std::nullopt;
    return index;
}

std::string clueTitle(double value)
{
    return moneyText(value) + " Question";
}

} // namespace scoring
