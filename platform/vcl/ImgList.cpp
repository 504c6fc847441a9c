#include "platform/vcl/ImgList.h"

#include <QImage>

TImageList::TImageList(TComponent* AOwner)
    : TComponent(AOwner), Width([this] { return width_; }, [this](int v) { width_ = v; }),
      Height([this] { return height_; }, [this](int v) { height_ = v; }),
      Count([this] { return static_cast<int>(images_.size()); }) {}

TImageList::~TImageList() = default;

int TImageList::Add(TBitmap* Image, TBitmap*) {
    const QImage image = Image ? Image->Image() : QImage();
    images_.push_back(image.isNull() ? QImage()
                                     : image.scaled(width_, height_, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
    return static_cast<int>(images_.size()) - 1;
}

void TImageList::Clear() {
    images_.clear();
}

QImage TImageList::Image(int index) const {
    if (index < 0 || index >= static_cast<int>(images_.size()))
        return QImage();
    return images_[index];
}
