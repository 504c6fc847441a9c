#pragma once
// A thread that runs one method once. Like every thread of the class
// library it starts with Resume.

#include <functional>

#include "platform/vcl/Classes.h"

using TThreadMethod = std::function<void()>;

class TMyThread : public TThread {
public:
    explicit TMyThread(TThreadMethod method);
    ~TMyThread() override;

protected:
    void Execute() override;

private:
    TThreadMethod method_;
};
