#include "platform/vcl/ComCtrls.h"

#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>
#include <QWidget>

#include "platform/vcl/QtBridge.h"

namespace {

class StatusBarWidget : public QWidget {
public:
    explicit StatusBarWidget(TStatusBar* bar) : bar_(bar) {}
    void Detach() { bar_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!bar_)
            return;
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        TStatusPanels& panels = *bar_->Panels;
        for (int i = 0; i < panels.Count; ++i)
            PaintPanel(painter, *panels.Items[i], bar_->PanelRect(i));
    }

private:
    void PaintPanel(QPainter& painter, TStatusPanel& panel, const TRect& place) {
        const QRect area(place.Left, place.Top, place.Width(), place.Height());
        if (panel.Bevel != pbNone) {
            const bool lowered = panel.Bevel == pbLowered;
            painter.setPen(palette().color(lowered ? QPalette::Dark : QPalette::Light));
            painter.drawLine(area.topLeft(), area.topRight());
            painter.drawLine(area.topLeft(), area.bottomLeft());
            painter.setPen(palette().color(lowered ? QPalette::Light : QPalette::Dark));
            painter.drawLine(area.bottomLeft(), area.bottomRight());
            painter.drawLine(area.topRight(), area.bottomRight());
        }
        if (panel.Style == psOwnerDraw) {
            if (bar_->OnDrawPanel)
                RunHandler([&] { bar_->OnDrawPanel(bar_, &panel, place); });
            return;
        }
        const QRect text = area.adjusted(3, 1, -3, -1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(ToQString(panel.Text), Qt::ElideRight, text.width()));
    }

    TStatusBar* bar_;
};

} // namespace

// ---- TStatusPanel ----

TStatusPanel::TStatusPanel(TStatusBar& bar)
    : Text([this] { return text_; },
           [this](const AnsiString& v) {
               text_ = v;
               bar_.PanelsChanged();
           }),
      Width([this] { return width_; },
            [this](int v) {
                width_ = v;
                bar_.PanelsChanged();
            }),
      Bevel([this] { return bevel_; },
            [this](TStatusPanelBevel v) {
                bevel_ = v;
                bar_.PanelsChanged();
            }),
      Style([this] { return style_; },
            [this](TStatusPanelStyle v) {
                style_ = v;
                bar_.PanelsChanged();
            }),
      bar_(bar) {}

// ---- TStatusPanels ----

TStatusPanels::TStatusPanels(TStatusBar& bar)
    : Count([this] { return static_cast<int>(panels_.size()); }), Items([this](int i) {
          if (i < 0 || i >= static_cast<int>(panels_.size()))
              throw EListError("List index out of bounds (" + IntToStr(i) + ")");
          return panels_[i].get();
      }),
      bar_(bar) {}

TStatusPanel* TStatusPanels::Add() {
    panels_.push_back(std::make_unique<TStatusPanel>(bar_));
    bar_.PanelsChanged();
    return panels_.back().get();
}

void TStatusPanels::Clear() {
    panels_.clear();
    bar_.PanelsChanged();
}

// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), Panels([this] { return panels_.get(); }),
      SizeGrip([this] { return !grip_->isHidden(); }, [this](bool v) { grip_->setVisible(v); }),
      panels_(std::make_unique<TStatusPanels>(*this)) {
    auto* widget = new StatusBarWidget(this);
    grip_ = new QSizeGrip(widget);
    SetWidget(widget);
    SetBounds(0, 0, 185, 19);
    Align = alBottom;
    // The bar has the button face colour of its own, whatever its parent's.
    ApplyColor();
}

TStatusBar::~TStatusBar() {
    if (auto* widget = dynamic_cast<StatusBarWidget*>(Widget()))
        widget->Detach();
}

TRect TStatusBar::PanelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_->Items[i]->Width;
    const bool last = index == panels_->Count - 1;
    const int right =
        last ? std::max(left, static_cast<int>(ClientWidth)) : left + panels_->Items[index]->Width;
    return Rect(left, 0, right, ClientHeight);
}

void TStatusBar::PanelsChanged() {
    if (!Widget())
        return;
    QWidget* widget = Widget();
    const QSize grip = grip_->sizeHint();
    grip_->setGeometry(widget->width() - grip.width(), widget->height() - grip.height(),
                       grip.width(), grip.height());
    Repaint();
}

void TStatusBar::Resized() {
    PanelsChanged();
    TWinControl::Resized();
}
