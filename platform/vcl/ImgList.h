#pragma once
// A list of small images of one size, such as the images of a menu.

#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Graphics.h"

class QImage;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;

    // Adds a copy of the image (scaled to the list's size); the mask is
    // not used, transparency comes with the image. Returns its index.
    int Add(TBitmap* Image, TBitmap* Mask);
    void Clear();

    Property<int> Width;
    Property<int> Height;
    ReadOnlyProperty<int> Count;

    // Platform side: image `index`, or a null image.
    QImage Image(int index) const;

private:
    std::vector<QImage> images_;
    int width_ = 16;
    int height_ = 16;
};
