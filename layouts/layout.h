// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Design-time description of a window and its controls, as plain constant data. The form
// runtime builds a window from one of these on every load. Positions and sizes are in twips
// (1/1440 inch, 15 to a pixel at 96 dpi); a control's Left and Top are measured from its
// container: the window's client area or the frame it lies in.

#include <span>
#include <string_view>

namespace layouts {

enum class ControlKind { CommandButton, Label, Frame, TextBox };

enum class Alignment { Left = 0, Right = 1, Center = 2 };

enum class StartUpPosition { Manual = 0, WindowsDefault = 3 };

// How a window stands among the others. A board is a main window of a round; a window owned by
// the board in play stays above that board, has no taskbar entry of its own and opens at its
// designed offset from the board's client area.
enum class WindowRole { TopLevel, Board, OwnedByBoard };

inline constexpr int noIndex = -1;

struct ControlLayout
{
    std::string_view name;
    int index = noIndex; // place in a control array, or noIndex for a single control
    ControlKind kind = ControlKind::Label;
    std::string_view caption; // the text box's Text
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = 0;
    Alignment alignment = Alignment::Left;
    std::string_view container; // "" for the window, else the name of a frame
    int maxLength = 0; // text box only; 0 is no limit
};

struct WindowLayout
{
    std::string_view name;
    std::string_view caption;
    std::string_view tag;
    int clientWidth = 0;
    int clientHeight = 0;
    StartUpPosition startUpPosition = StartUpPosition::Manual;
    int clientLeft = 0;
    int clientTop = 0;
    // Closing this window with its close box ends the application (the boards and the final
    // score); closing any other window only unloads it.
    bool closeEndsApplication = false;
    std::span<const ControlLayout> controls;
    WindowRole role = WindowRole::TopLevel;
};

} // namespace layouts
