#include "platform/vcl/Menus.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <algorithm>

#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/QtBridge.h"

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner)
    : TComponent(AOwner), Caption([this] { return caption_; },
                                  [this](const AnsiString& v) {
                                      caption_ = v;
                                      action_->setSeparator(v == "-");
                                      action_->setText(ToQString(v));
                                  }),
      Checked([this] { return checked_; },
              [this](bool v) {
                  checked_ = v;
                  action_->setCheckable(v);
                  action_->setChecked(v);
              }),
      Enabled([this] { return action_->isEnabled(); }, [this](bool v) { action_->setEnabled(v); }),
      Visible([this] { return action_->isVisible(); }, [this](bool v) { action_->setVisible(v); }),
      ImageIndex([this] { return imageIndex_; },
                 [this](int v) {
                     imageIndex_ = v;
                     ApplyImage();
                 }),
      Count([this] { return static_cast<int>(items_.size()); }), Items([this](int i) {
          if (i < 0 || i >= static_cast<int>(items_.size()))
              throw EListError("List index out of bounds (" + IntToStr(i) + ")");
          return items_[i];
      }),
      Parent([this] { return parent_; }), action_(new QAction) {
    // Choosing an item runs its handler; the check mark stays what the
    // program set, as the class library has it.
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        action_->setChecked(checked_);
        RunHandler([this] { Click(); });
    });
}

TMenuItem::~TMenuItem() {
    if (parent_)
        parent_->Remove(this);
    for (TMenuItem* item : items_)
        item->parent_ = nullptr;
    delete submenu_;
    delete action_;
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->parent_)
        item->parent_->Remove(item);
    if (!container_) {
        submenu_ = new QMenu;
        action_->setMenu(submenu_);
        container_ = submenu_;
    }
    items_.push_back(item);
    item->parent_ = this;
    container_->addAction(item->action_);
    item->ApplyImage();
}

void TMenuItem::Remove(TMenuItem* item) {
    const auto found = std::find(items_.begin(), items_.end(), item);
    if (found == items_.end())
        return;
    items_.erase(found);
    item->parent_ = nullptr;
    if (container_)
        container_->removeAction(item->action_);
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

void TMenuItem::ShowIn(QWidget* container) {
    container_ = container;
}

TMainMenu* TMenuItem::Menu() const {
    const TMenuItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item->root_;
}

void TMenuItem::ApplyImage() {
    const TMainMenu* menu = Menu();
    const TImageList* images = menu ? menu->images_ : nullptr;
    const QImage image = images && imageIndex_ >= 0 ? images->Image(imageIndex_) : QImage();
    action_->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    for (TMenuItem* item : items_)
        item->ApplyImage();
}

// ---- TMainMenu ----

TMainMenu::TMainMenu(TComponent* AOwner)
    : TComponent(AOwner), Items([this] { return items_.get(); }), Images([this] { return images_; },
                                                                         [this](TImageList* v) {
                                                                             images_ = v;
                                                                             items_->ApplyImage();
                                                                         }),
      bar_(new QMenuBar), items_(std::make_unique<TMenuItem>(nullptr)) {
    bar_->hide();
    items_->root_ = this;
    items_->ShowIn(bar_);
}

TMainMenu::~TMainMenu() {
    if (shownBy_)
        shownBy_->Menu = nullptr;
    items_.reset();
    delete bar_;
}
