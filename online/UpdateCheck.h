#pragma once
// The update check: the maker's web server decides whether a newer
// version exists and sends its notice and download address, which the
// user may open in the browser.
//
// mode: 0 a regular check, 1 the check of the online high scores, 2 a
// regular check that reports its outcome (quiet level 0) and offers no
// "Never tell me again". quiet: 0 messages of mode 2 shown, 1 no notice
// even when offered and no messages, 2 notice when offered, no messages.
// Result: 0 notice shown, 1 no update (or not offered), 2 no valid answer,
// 3 notice answered No with "Never tell me again".

#include <cstdint>

uint8_t CheckForUpdate(uint8_t mode, uint8_t quiet);
