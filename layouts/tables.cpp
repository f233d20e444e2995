// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "layouts/tables.h"

#include "scoring/scoring.h"

namespace layouts {
namespace {

using enum ControlKind;
using scoring::squareCount;

// The squares of a board stand in rows of six, index 0 at the top left.
constexpr ControlLayout boardSquare(int index, int tabIndex)
{
    return { "Command1",
             index,
             CommandButton,
             "Command1",
             480 + 1560 * (index % scoring::squaresPerRow),
             1320 + 1080 * (index / scoring::squaresPerRow),
             1215,
             735,
             tabIndex };
}

// Tables read best one control to a row.
// clang-format off

constexpr auto singleBoardControls = [] {
    std::array<ControlLayout, 35> controls {};
    controls[0] = { "Command2", noIndex, CommandButton, "Daily Double", 480, 360, 1215, 735, 32 };
    for (int i = 0; i < squareCount; ++i) { // listed from 29 down to 0
        const int index = squareCount - 1 - i;
        controls[1 + i] = boardSquare(index, index + 2);
    }
    controls[31] = { "Frame1", noIndex, Frame, "", 2040, 240, 7455, 855, 0 };
    controls[32] = { "ScoreLabel", noIndex, Label, "ScoreLabel", 1320, 360, 1695, 255, 34,
                     Alignment::Left, "Frame1" };
    controls[33] = { "Label2", noIndex, Label, "Current Score: $", 120, 360, 2055, 255, 33,
                     Alignment::Left, "Frame1" };
    controls[34] = { "Label1", noIndex, Label, "Vantorel!", 5520, 360, 735, 255, 1,
                     Alignment::Left, "Frame1" };
    return controls;
}();

constexpr auto doubleBoardControls = [] {
    std::array<ControlLayout, 35> controls {};
    controls[0] = { "Frame1", noIndex, Frame, "", 2040, 240, 7455, 855, 31 };
    controls[1] = { "Label1", noIndex, Label, "Double Vantorel!", 4920, 360, 1335, 255, 34,
                    Alignment::Left, "Frame1" };
    controls[2] = { "Label2", noIndex, Label, "Current Score: $", 120, 360, 1215, 255, 33,
                    Alignment::Left, "Frame1" };
    controls[3] = { "ScoreLabel", noIndex, Label, "ScoreLabel", 1320, 360, 1695, 255, 32,
                    Alignment::Left, "Frame1" };
    for (int index = 0; index < squareCount; ++index)
        controls[4 + index] = boardSquare(index, 30 - index);
    controls[34] = { "Command2", noIndex, CommandButton, "Daily Double", 480, 360, 1215, 735, 0 };
    return controls;
}();

constexpr auto questionControls = std::to_array<ControlLayout>({
    { "Command1", 2, CommandButton, "Incorrect", 3240, 840, 1335, 855, 3 },
    { "Command1", 1, CommandButton, "No Ring In", 1680, 840, 1335, 855, 2 },
    { "Command1", 0, CommandButton, "Correct", 120, 840, 1335, 855, 1 },
    { "Label1", noIndex, Label, "", 1200, 120, 2415, 495, 0, Alignment::Center },
});

// Ten digits hold any wager the 32-bit score can take; the arithmetic refuses the rest.
constexpr auto dailyDoubleControls = std::to_array<ControlLayout>({
    { "Wager", noIndex, TextBox, "", 1560, 240, 1575, 285, 0, Alignment::Left, "", 10 },
    { "Command1", 0, CommandButton, "Correct", 120, 840, 1335, 855, 1 },
    { "Command1", 1, CommandButton, "Cancel", 1680, 960, 1335, 615, 2 },
    { "Command1", 2, CommandButton, "Incorrect", 3240, 840, 1335, 855, 3 },
    { "Label1", noIndex, Label, "Wager: $", 720, 240, 735, 255, 4, Alignment::Right },
});

constexpr auto lastControls = std::to_array<ControlLayout>({
    { "Frame1", noIndex, Frame, "", 120, 120, 4335, 2775, 0 },
    { "Label2", noIndex, Label, "", 120, 1560, 4095, 255, 2, Alignment::Center, "Frame1" },
    { "Label1", noIndex, Label, "Final Score:", 120, 960, 4095, 255, 1, Alignment::Center,
      "Frame1" },
});

// clang-format on

} // namespace

// Name, caption, tag, client size, opening position, whether closing it ends the program,
// controls, role.
// clang-format off
constexpr WindowLayout singleBoard = { "SingleBoard", "Single Vantorel", "", 9975, 6570,
                                       StartUpPosition::Manual, 1035, 2175, true,
                                       singleBoardControls, WindowRole::Board };

constexpr WindowLayout doubleBoard = { "DoubleBoard", "Double Vantorel", "", 9975, 6570,
                                       StartUpPosition::Manual, 1035, 2175, true,
                                       doubleBoardControls, WindowRole::Board };

constexpr WindowLayout question = { "Question", "Question", "", 4710, 1815,
                                    StartUpPosition::Manual, 3555, 4485, false,
                                    questionControls, WindowRole::OwnedByBoard };

constexpr WindowLayout dailyDouble = { "DailyDouble", "Daily Double", "0", 4710, 1815,
                                       StartUpPosition::Manual, 3555, 4485, false,
                                       dailyDoubleControls, WindowRole::OwnedByBoard };

constexpr WindowLayout last = { "Last", "Final Score", "", 4575, 3015,
                                StartUpPosition::WindowsDefault, 0, 0, true,
                                lastControls, WindowRole::TopLevel };
// clang-format on

} // namespace layouts
