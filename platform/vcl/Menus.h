#pragma once
// The main menu of a form and its items. Items are components of the form
// (created with the form as owner) and are put into the menu tree with
// Add: `MainMenu1->Items->Add(Game1); Game1->Add(UndoLastMove1);`.
// A form shows the menu once its Menu is set. A caption "-" is a
// separator.

#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TImageList;
class TMainMenu;
class TForm;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    // What choosing the item does: the OnClick handler. The check mark is
    // left alone, as the class library leaves it.
    void Click();

    Property<AnsiString> Caption;
    Property<bool> Checked;
    Property<bool> Enabled;
    Property<bool> Visible;
    Property<int> ImageIndex;
    ReadOnlyProperty<int> Count;
    IndexedProperty<TMenuItem*> Items;
    ReadOnlyProperty<TMenuItem*> Parent;
    TNotifyEvent OnClick;

    // Platform side.
    QAction* Action() const { return action_; }

private:
    friend class TMainMenu;
    void ShowIn(QWidget* container);
    void ApplyImage();
    TMainMenu* Menu() const;

    QAction* action_;
    QMenu* submenu_ = nullptr;
    QWidget* container_ = nullptr; // where the children's actions go
    TMenuItem* parent_ = nullptr;
    TMainMenu* root_ = nullptr; // set on the root item of a main menu
    std::vector<TMenuItem*> items_;
    AnsiString caption_;
    bool checked_ = false;
    int imageIndex_ = -1;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    // The root of the tree; its items are the menu bar's entries.
    ReadOnlyProperty<TMenuItem*> Items;
    Property<TImageList*> Images;

    // Platform side: the menu bar a form shows.
    QMenuBar* MenuBar() const { return bar_; }

private:
    friend class TMenuItem;
    friend class TForm;
    QMenuBar* bar_;
    TForm* shownBy_ = nullptr; // the form whose Menu this is
    std::unique_ptr<TMenuItem> items_;
    TImageList* images_ = nullptr;
};
