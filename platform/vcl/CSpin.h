#pragma once
// The spin edit: a number between MinValue and MaxValue, stepped by
// Increment.

#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"

class QSpinBox;

class TCSpinEdit : public TWinControl {
public:
    explicit TCSpinEdit(TComponent* AOwner);

    Property<int> Value;
    Property<int> MinValue;
    Property<int> MaxValue;
    Property<int> Increment;
    TNotifyEvent OnChange;

private:
    QSpinBox* spin_;
};
