// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/export.h"

#include "scoring/record.h"
#include "scoring/scoring.h"

#include <array>
#include <charconv>

namespace scoring {
namespace {

constexpr std::array<std::string_view, 8> columns = {
    "started", "round", "row", "column", "value", "result", "daily_double", "wager",
};

// Appends a field, quoted when it holds a comma, a quote or a line break, its quotes doubled.
void append(std::string &out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void append(std::string &out, std::int64_t number)
{
    std::array<char, 24> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    out.append(digits.data(), written.ptr);
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
    std::string header;
    for (const std::string_view column : columns)
        (header += column) += ',';
    header.back() = '\r';
    return header + '\n';
}

std::string csvRows(std::string_view started, std::span<const Step> steps)
{
    const std::vector<int> partner = pairDailyDoubles(steps);
    std::string startedField;
    append(startedField, started);
    std::string rows;
    rows.reserve(steps.size() * (startedField.size() + 40));
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
        // Each row written straight into the text: a long record has millions of them.
        rows += startedField;
        rows += ',';
        rows += roundName(step.round);
        rows += ',';
        if (placed)
            append(rows, index / squaresPerRow + 1);
        rows += ',';
        if (placed)
            append(rows, index % squaresPerRow + 1);
        rows += ',';
        if (square)
            append(rows, square->amount);
        rows += ',';
        rows += resultName(step.outcome);
        rows += dailyDouble ? ",yes," : ",no,";
        if (!clue)
            append(rows, step.amount);
        rows += "\r\n";
    }
    return rows;
}

} // namespace scoring
