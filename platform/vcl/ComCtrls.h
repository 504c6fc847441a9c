#pragma once
// The status bar with its panels:
// `Form1->StatusBar1->Panels->Items[0]->Text = "..."`.

#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"

class QWidget;
class TStatusBar;

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel : public TObject {
public:
    explicit TStatusPanel(TStatusBar& bar);
    TStatusPanel(const TStatusPanel&) = delete;
    TStatusPanel& operator=(const TStatusPanel&) = delete;

    Property<AnsiString> Text;
    Property<int> Width;
    Property<TStatusPanelBevel> Bevel;
    // An owner-drawn panel shows no text; the bar's OnDrawPanel runs.
    Property<TStatusPanelStyle> Style;

private:
    TStatusBar& bar_;
    AnsiString text_;
    int width_ = 50;
    TStatusPanelBevel bevel_ = pbLowered;
    TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TObject {
public:
    explicit TStatusPanels(TStatusBar& bar);
    TStatusPanels(const TStatusPanels&) = delete;
    TStatusPanels& operator=(const TStatusPanels&) = delete;

    TStatusPanel* Add();
    void Clear();
    ReadOnlyProperty<int> Count;
    // Raises EListError for an index that is no panel.
    IndexedProperty<TStatusPanel*> Items;

private:
    TStatusBar& bar_;
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

// Aligned to the bottom of its parent; the panels stand side by side at
// their widths, the last one reaching the right edge.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    ReadOnlyProperty<TStatusPanels*> Panels;
    Property<bool> SizeGrip;
    std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)> OnDrawPanel;

    // Platform side: a panel changed; where panel `index` stands.
    void PanelsChanged();
    TRect PanelRect(int index) const;

protected:
    void Resized() override;

private:
    std::unique_ptr<TStatusPanels> panels_;
    QWidget* grip_;
};
