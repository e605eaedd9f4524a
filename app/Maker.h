#pragma once

// Who makes Vimbrel and where its users find help. The README names the same address.
inline constexpr char kMakerLine[] = "Copyright (C) 2026 Vimbrel developers";
inline constexpr char kSupportPage[] = "https://vimbrel.example.org/support/";
