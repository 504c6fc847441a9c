#pragma once
// Panels, radio groups, images, paint boxes and timers.

#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

class QFrame;
class QGroupBox;
class QRadioButton;
class QTimer;

// A frame with bevels that holds controls; its caption is centred.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    Property<TBevelCut> BevelOuter;
    Property<TBevelCut> BevelInner;
    Property<TBorderStyle> BorderStyle;

protected:
    void ShowCaption(const AnsiString& caption) override;

private:
    void ApplyFrame();
    QFrame* frame_;
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    TBorderStyle borderStyle_ = bsNone;
};

// A group box of radio buttons made from Items, laid out in Columns.
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;

    ReadOnlyProperty<TStrings*> Items;
    // -1: none chosen. Setting it in code does not run OnClick.
    Property<int> ItemIndex;
    Property<int> Columns;

protected:
    void ShowCaption(const AnsiString& caption) override;
    void Resized() override;

private:
    class ItemStrings;
    void RebuildButtons();
    void LayOutButtons();
    void ButtonToggled(int index, bool checked);

    QGroupBox* box_;
    std::unique_ptr<ItemStrings> items_;
    std::vector<QRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

// Shows a picture at its top left corner, centred, or stretched.
class TImage : public TControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    ReadOnlyProperty<TPicture*> Picture;
    Property<bool> Stretch;
    Property<bool> Center;

    // Platform side: paints the picture.
    void PaintPicture(QWidget* widget) const;

private:
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
};

// A control to draw on: what its Canvas draws shows at once; OnPaint runs
// when the windowing system paints it. Where nothing was drawn the parent
// shows through.
class TPaintBox : public TControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    ~TPaintBox() override;

    ReadOnlyProperty<TCanvas*> Canvas;
    TNotifyEvent OnPaint;

protected:
    void Resized() override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// Runs OnTimer every Interval milliseconds on the message loop while
// Enabled. Intervals follow the test clock scale of the Win32 layer.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    Property<bool> Enabled;
    Property<unsigned> Interval;
    TNotifyEvent OnTimer;

private:
    void Update();
    void Fire();
    int ScaledInterval() const;

    QTimer* timer_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};
