#include <QImage>
#include <map>
#include <memory>

#include "res/IconData.h"
#include "ui/internal/Handles.h"

QImage HICON__::ImageFor(int cx) const {
    const QImage* pBest = nullptr;
    for (const QImage& image : images) {
        if (image.width() == cx)
            return image;
        if (image.width() > cx && (!pBest || image.width() < pBest->width()))
            pBest = &image;
    }
    if (pBest)
        return *pBest;
    return images.empty() ? QImage() : images.front();
}

HICON LoadIconA(HINSTANCE, UINT nIDResource) {
    static std::map<UINT, std::unique_ptr<HICON__>> loaded;
    auto it = loaded.find(nIDResource);
    if (it != loaded.end())
        return it->second.get();
    const IconGroup* pGroup = FindIconGroup(nIDResource);
    if (!pGroup)
        return nullptr;
    auto pIcon = std::make_unique<HICON__>();
    pIcon->nID = nIDResource;
    for (int i = 0; i < pGroup->nImages; ++i) {
        QImage image(pGroup->pImages[i].xpm);
        pIcon->images.push_back(image);
        pIcon->icon.addPixmap(QPixmap::fromImage(image));
    }
    HICON hIcon = pIcon.get();
    loaded[nIDResource] = std::move(pIcon);
    return hIcon;
}
