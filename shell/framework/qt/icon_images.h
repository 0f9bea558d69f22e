// The images of one icon group, one of each size, each decoded the first time it is drawn: a window
// shows a few of the group's sizes, and the others (the 256 px PNG among them) cost nothing until
// something draws them.
#pragma once

#include "resource_reader.h"

#include <QList>
#include <QPixmap>
#include <QSize>

#include <vector>

namespace qtlayer {

class IconImages {
public:
    // `stored` as the reader lists a group, largest first: of one size the first (the deepest) is kept.
    explicit IconImages(const std::vector<res::StoredIconImage>& stored);

    bool IsEmpty() const { return m_images.empty(); }
    QList<QSize> Sizes() const;  // largest first
    bool Holds(QSize size) const;
    // The image made for `wanted`, else the next larger one scaled down to it, else the largest:
    // never a smaller one stretched. An image that will not decode is dropped, as if never stored.
    QPixmap Image(QSize wanted);
    // The size Image(wanted) has, decoding nothing.
    QSize SizeFor(QSize wanted) const;

private:
    struct Slot {
        res::StoredIconImage stored;
        QPixmap decoded;
    };
    std::vector<Slot> m_images;

    std::size_t Closest(QSize wanted) const;
};

}  // namespace qtlayer
