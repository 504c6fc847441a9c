#pragma once
// The game link's port: the host listens on it, the caller calls it.
// Tests that open it run one at a time.

constexpr int LinkPort = 1024;
