#include "platform/vcl/CSpin.h"

#include <QSpinBox>

#include "platform/vcl/QtBridge.h"

TCSpinEdit::TCSpinEdit(TComponent* AOwner)
    : TWinControl(AOwner),
      Value([this] { return spin_->value(); }, [this](int v) { spin_->setValue(v); }),
      MinValue([this] { return spin_->minimum(); }, [this](int v) { spin_->setMinimum(v); }),
      MaxValue([this] { return spin_->maximum(); }, [this](int v) { spin_->setMaximum(v); }),
      Increment([this] { return spin_->singleStep(); }, [this](int v) { spin_->setSingleStep(v); }),
      spin_(new QSpinBox) {
    // The class library's spin edit has no limits until it is given some.
    spin_->setRange(-2147483647 - 1, 2147483647);
    SetWidget(spin_);
    SetBounds(0, 0, 121, 22);
    QObject::connect(spin_, &QSpinBox::valueChanged, spin_, [this] {
        if (OnChange)
            RunHandler([this] { OnChange(this); });
    });
}
