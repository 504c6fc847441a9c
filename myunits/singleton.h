#pragma once
// Holds the one instance of a process-wide service. A service class derives
// from Singleton of itself: its construction registers the instance, its
// destruction clears it, and every use goes through GetSingleton.

#include "platform/vcl/Forms.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win32/WinTypes.h"

template <class T> class Singleton {
public:
    Singleton() {
        if (ms_Singleton)
            Application->MessageBox("Singleton already created in Singleton::GetSingleton",
                                    "Fatal Error", MB_ICONEXCLAMATION);
        Assert(!ms_Singleton, "!ms_Singleton");
        ms_Singleton = this;
    }
    ~Singleton() {
        Assert(ms_Singleton, "ms_Singleton");
        ms_Singleton = nullptr;
    }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    static T& GetSingleton() {
        if (!ms_Singleton)
            Application->MessageBox("No Singleton created in Singleton::GetSingleton",
                                    "Fatal Error", MB_ICONEXCLAMATION);
        Assert(ms_Singleton, "ms_Singleton");
        return static_cast<T&>(*ms_Singleton);
    }

private:
    // Kept as the base: while T's constructor has not yet run, the object is
    // no T to point at.
    inline static Singleton* ms_Singleton = nullptr;
};
