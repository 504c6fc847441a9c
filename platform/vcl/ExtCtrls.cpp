#include "platform/vcl/ExtCtrls.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "platform/vcl/QtBridge.h"
#include "platform/win32/Clock.h"

// ---- TPanel ----

namespace {

class PanelWidget : public QFrame {
public:
    QString caption;

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        if (caption.isEmpty())
            return;
        QPainter painter(this);
        painter.drawText(contentsRect(), Qt::AlignCenter, caption);
    }
};

} // namespace

TPanel::TPanel(TComponent* AOwner)
    : TWinControl(AOwner), BevelOuter([this] { return bevelOuter_; },
                                      [this](TBevelCut v) {
                                          bevelOuter_ = v;
                                          ApplyFrame();
                                      }),
      BevelInner([this] { return bevelInner_; },
                 [this](TBevelCut v) {
                     bevelInner_ = v;
                     ApplyFrame();
                 }),
      BorderStyle([this] { return borderStyle_; },
                  [this](TBorderStyle v) {
                      borderStyle_ = v;
                      ApplyFrame();
                  }),
      frame_(new PanelWidget) {
    SetWidget(frame_);
    SetBounds(0, 0, 185, 41);
    ApplyFrame();
    // A panel has the button face colour of its own, whatever its parent's.
    ApplyColor();
}

void TPanel::ShowCaption(const AnsiString& caption) {
    static_cast<PanelWidget*>(frame_)->caption = WithoutAccelerators(caption);
    frame_->update();
}

void TPanel::ApplyFrame() {
    const int bevels = (bevelOuter_ != bvNone) + (bevelInner_ != bvNone);
    if (borderStyle_ == bsSingle) {
        frame_->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame_->setLineWidth(1);
    } else if (bevels == 0) {
        frame_->setFrameStyle(QFrame::NoFrame);
    } else {
        const TBevelCut outer = bevelOuter_ != bvNone ? bevelOuter_ : bevelInner_;
        frame_->setFrameStyle(QFrame::Panel |
                              (outer == bvLowered ? QFrame::Sunken : QFrame::Raised));
        frame_->setLineWidth(bevels);
    }
}

// ---- TRadioGroup ----

class TRadioGroup::ItemStrings : public TStringList {
public:
    explicit ItemStrings(TRadioGroup& group) : group_(group) {}

    void Insert(int index, const AnsiString& text) override {
        TStringList::Insert(index, text);
        group_.RebuildButtons();
    }
    void Delete(int index) override {
        TStringList::Delete(index);
        group_.RebuildButtons();
    }
    void Clear() override {
        TStringList::Clear();
        group_.RebuildButtons();
    }

protected:
    void Put(int index, const AnsiString& text) override {
        TStringList::Put(index, text);
        group_.RebuildButtons();
    }

private:
    TRadioGroup& group_;
};

TRadioGroup::TRadioGroup(TComponent* AOwner)
    : TWinControl(AOwner), Items([this] { return items_.get(); }),
      ItemIndex([this] { return itemIndex_; },
                [this](int v) {
                    itemIndex_ = std::clamp(v, -1, static_cast<int>(buttons_.size()) - 1);
                    updating_ = true;
                    for (size_t i = 0; i < buttons_.size(); ++i) {
                        const bool checked = static_cast<int>(i) == itemIndex_;
                        buttons_[i]->setAutoExclusive(checked);
                        buttons_[i]->setChecked(checked);
                        buttons_[i]->setAutoExclusive(true);
                    }
                    updating_ = false;
                }),
      Columns([this] { return columns_; },
              [this](int v) {
                  columns_ = std::max(1, v);
                  LayOutButtons();
              }),
      box_(new QGroupBox), items_(std::make_unique<ItemStrings>(*this)) {
    SetWidget(box_);
    SetBounds(0, 0, 185, 105);
}

TRadioGroup::~TRadioGroup() = default;

void TRadioGroup::ShowCaption(const AnsiString& caption) {
    box_->setTitle(ToQString(caption));
}

void TRadioGroup::RebuildButtons() {
    for (QRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    for (int i = 0; i < items_->Count; ++i) {
        auto* button = new QRadioButton(ToQString(items_->Strings[i]), box_);
        QObject::connect(button, &QRadioButton::toggled, button, [this, i](bool checked) {
            RunHandler([&] { ButtonToggled(i, checked); });
        });
        buttons_.push_back(button);
        button->show();
    }
    ItemIndex = std::min(itemIndex_, static_cast<int>(buttons_.size()) - 1);
    LayOutButtons();
}

// Column by column, as the class library fills them, in the area below
// the caption.
void TRadioGroup::LayOutButtons() {
    if (buttons_.empty())
        return;
    const int count = static_cast<int>(buttons_.size());
    const int rows = (count + columns_ - 1) / columns_;
    const int top = box_->fontMetrics().height() + 2;
    const int width = std::max(1, (box_->width() - 16) / columns_);
    const int height = std::max(1, (box_->height() - top - 4) / rows);
    for (int i = 0; i < count; ++i)
        buttons_[i]->setGeometry(8 + (i / rows) * width, top + (i % rows) * height, width, height);
}

void TRadioGroup::Resized() {
    LayOutButtons();
    TWinControl::Resized();
}

void TRadioGroup::ButtonToggled(int index, bool checked) {
    if (!checked || updating_)
        return;
    itemIndex_ = index;
    Click();
}

// ---- TImage ----

namespace {

class ImageWidget : public QWidget {
public:
    explicit ImageWidget(TImage* image) : image_(image) {}
    void Detach() { image_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (image_)
            image_->PaintPicture(this);
    }

private:
    TImage* image_;
};

} // namespace

TImage::TImage(TComponent* AOwner)
    : TControl(AOwner), Picture([this] { return picture_.get(); }),
      Stretch([this] { return stretch_; },
              [this](bool v) {
                  stretch_ = v;
                  Invalidate();
              }),
      Center([this] { return center_; },
             [this](bool v) {
                 center_ = v;
                 Invalidate();
             }),
      picture_(std::make_unique<TPicture>()) {
    SetWidget(new ImageWidget(this));
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { Invalidate(); };
}

TImage::~TImage() {
    if (auto* widget = dynamic_cast<ImageWidget*>(Widget()))
        widget->Detach();
}

void TImage::PaintPicture(QWidget* widget) const {
    const QImage& image = picture_->Bitmap->Image();
    if (image.isNull())
        return;
    QPainter painter(widget);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(widget->rect(), image);
    } else if (center_) {
        painter.drawImage((widget->width() - image.width()) / 2,
                          (widget->height() - image.height()) / 2, image);
    } else {
        painter.drawImage(0, 0, image);
    }
}

// ---- TPaintBox ----

namespace {

class PaintBoxWidget : public QWidget {
public:
    explicit PaintBoxWidget(TPaintBox* box) : box_(box) {}
    void Detach() { box_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!box_)
            return;
        if (!PaintState::ShowingCanvas() && box_->OnPaint) {
            PaintState::PaintScope painting(this);
            RunHandler([this] { box_->OnPaint(box_); });
        }
        QPainter painter(this);
        painter.drawImage(0, 0, box_->Canvas->Image());
    }

private:
    TPaintBox* box_;
};

} // namespace

TPaintBox::TPaintBox(TComponent* AOwner)
    : TControl(AOwner), Canvas([this] { return canvas_.get(); }) {
    auto* widget = new PaintBoxWidget(this);
    canvas_ = std::make_unique<TCanvas>(widget);
    SetWidget(widget);
    SetBounds(0, 0, 105, 105);
}

TPaintBox::~TPaintBox() {
    if (auto* widget = dynamic_cast<PaintBoxWidget*>(Widget()))
        widget->Detach();
}

void TPaintBox::Resized() {
    canvas_->Resize(Width, Height);
    TControl::Resized();
}

// ---- TTimer ----

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner), Enabled([this] { return enabled_; },
                                  [this](bool v) {
                                      enabled_ = v;
                                      Update();
                                  }),
      Interval([this] { return interval_; },
               [this](unsigned v) {
                   interval_ = v;
                   Update();
               }),
      timer_(new QTimer) {
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { RunHandler([this] { Fire(); }); });
    Update();
}

TTimer::~TTimer() {
    delete timer_;
}

int TTimer::ScaledInterval() const {
    return std::max(1, static_cast<int>(std::lround(interval_ / GetClockScale())));
}

// Without a message loop there is nothing to run a timer; it keeps its
// state until one exists.
void TTimer::Update() {
    if (enabled_ && interval_ > 0 && QCoreApplication::instance())
        timer_->start(ScaledInterval());
    else
        timer_->stop();
}

void TTimer::Fire() {
    if (timer_->interval() != ScaledInterval())
        timer_->setInterval(ScaledInterval());
    if (OnTimer)
        OnTimer(this);
}
