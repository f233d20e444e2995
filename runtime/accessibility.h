// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

namespace runtime {

// Lets screen readers name the windows' buttons and labels by each window's
// Form::accessibleName rule, and connects to the screen readers' bus: before the first window is
// built. Safe to call more than once.
void installAccessibleNames();

} // namespace runtime
