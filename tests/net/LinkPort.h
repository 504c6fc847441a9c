#pragma once
// The game link's port: the host listens on it, the caller calls it.

constexpr int LinkPort = 1024;

// Held by every test that opens the port, for as long as the test runs.
// CTest runs those tests one at a time within one build; this lock also
// keeps them apart from the tests of another checkout on the same machine.
class LinkPortLock {
public:
    LinkPortLock();
    ~LinkPortLock();
    LinkPortLock(const LinkPortLock&) = delete;
    LinkPortLock& operator=(const LinkPortLock&) = delete;

private:
    int fd_;
};
