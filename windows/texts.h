// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The scoring text forms as the widgets take them.

#include "scoring/scoring.h"

#include <QString>

namespace texts {

inline QString moneyText(double amount)
{
    return QString::fromStdString(scoring::moneyText(amount));
}

inline QString scoreText(std::int32_t score)
{
    return QString::fromStdString(scoring::scoreText(score));
}

inline QString indexText(int index)
{
    return QString::fromStdString(scoring::indexText(index));
}

inline QString clueTitle(double value)
{
    return QString::fromStdString(scoring::clueTitle(value));
}

} // namespace texts
