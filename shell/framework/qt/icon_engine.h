// QIcons over icon groups' images (icon_images.h) that decode only the sizes drawn.
#pragma once

#include "icon_images.h"

#include <QIcon>
#include <QIconEngine>

#include <memory>
#include <vector>

namespace qtlayer {

using SharedIconImages = std::shared_ptr<IconImages>;

// Lists the sizes it is given, which need not be every size it draws: the X platform puts every
// listed size into the window's icon property, while painters ask for the one size they draw.
// Modes and states draw alike: the layer never shows its icons selected or disabled.
class IconEngine : public QIconEngine {
public:
    // Images come from the first source that holds the size asked for, else from the first source.
    IconEngine(std::vector<SharedIconImages> sources, QList<QSize> listed);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

private:
    std::vector<SharedIconImages> m_sources;
    QList<QSize> m_listed;
};

// Every size the images hold.
QIcon AllSizesIcon(const SharedIconImages& images);
// The sizes window managers draw a window's icon at, from `sources` (non-empty, the big icon first).
QIcon WindowSystemIcon(const std::vector<SharedIconImages>& sources);

}  // namespace qtlayer
