// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "layouts/version.h"

#include <string_view>

namespace layouts {

// Who the program is, to the desktop and in its version record.
struct Identity
{
    std::string_view title;
    std::string_view projectName;
    std::string_view version;
    std::string_view desktopFileName;
    std::string_view iconResource;
};

inline constexpr Identity identity = { "Vantorel Scorekeeper", "Vantorel", version, "vantorel",
                                       ":/icons/vantorel" };

} // namespace layouts
