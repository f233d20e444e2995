// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/export.h"

#include "scoring/record.h"
#include "scoring/scoring.h"

#include <algorithm>
#include <array>

namespace scoring {
namespace {

constexpr std::array<std::string_view, 8> columns = {
    "started", "round", "row", "column", "value", "result", "daily_double", "wager",
};

// Quoted when it holds a comma, a quote or a line break, its quotes doubled.
std::string field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

template<typename Text>
std::string line(const std::array<Text, columns.size()> &fields)
{
    std::string text;
    for (const Text &each : fields)
        (text += field(each)) += ',';
    text.back() = '\r';
    return text + '\n';
}

std::string_view roundName(Round round)
{
    switch (round) {
    case Round::First:
        return "first";
    case Round::Second:
        return "second";
    case Round::Final:
        return "final";
    }
    return {}; // a value from a damaged record
}

std::string_view resultName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Correct:
        return "correct";
    case Outcome::Incorrect:
        return "incorrect";
    case Outcome::NoRingIn:
        return "no ring in";
    }
    return {};
}

} // namespace

std::string csvHeader()
{
    return line(columns);
}

std::string csvRows(std::string_view started, std::span<const Step> steps)
{
    const std::vector<int> partner = pairDailyDoubles(steps);
    std::string rows;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step &step = steps[i];
        const bool clue = step.kind == StepKind::Clue;
        const bool dailyDouble = step.kind == StepKind::DailyDouble;
        if (clue ? partner[i] >= 0 : !dailyDouble && step.kind != StepKind::FinalWager)
            continue; // a Daily Double's square, or no result
        const Step *square = nullptr; // a clue's own, or the one a Daily Double took
        if (clue)
            square = &step;
        else if (dailyDouble && partner[i] >= 0)
            square = &steps[partner[i]];
        const int index = square ? square->square : -1;
        const bool placed = index >= 0 && index < squareCount; // the record may be damaged
        rows += line<std::string>({
                std::string(started),
                std::string(roundName(step.round)),
                placed ? std::to_string(index / squaresPerRow + 1) : std::string(),
                placed ? std::to_string(index % squaresPerRow + 1) : std::string(),
                square ? std::to_string(square->amount) : std::string(),
                std::string(resultName(step.outcome)),
                dailyDouble ? "yes" : "no",
                clue ? std::string() : std::to_string(step.amount),
        });
    }
    return rows;
}

} // namespace scoring
