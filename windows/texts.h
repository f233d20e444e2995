// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The scoring text forms as the widgets take them.

#include "layouts/identity.h"
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

inline QString amountText(std::int64_t amount)
{
    return QString::fromStdString(scoring::amountText(amount));
}

inline QString indexText(int index)
{
    return QString::fromStdString(scoring::indexText(index));
}

inline QString clueTitle(double value)
{
    return QString::fromStdString(scoring::clueTitle(value));
}

// The title of the program's message boxes.
inline QString messageTitle()
{
    return QString::fromUtf8(layouts::identity.projectName.data(),
                             qsizetype(layouts::identity.projectName.size()));
}

} // namespace texts
