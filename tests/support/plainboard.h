// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

class QWidget;

namespace plainboard {

// Makes the window the first board as any Qt program would write it: its title, place and size,
// and its 35 widgets with their captions, at the program's pixels per twip and with its font
// shrunk as the program's is on a small screen; no form runtime, no layout tables. The first
// square has the focus.
void buildPlainBoard(QWidget &window, double pixelsPerTwip, double fontFactor = 1);

} // namespace plainboard
