#include "icon_engine.h"

#include <QGuiApplication>
#include <QPainter>

namespace qtlayer {

namespace {

// Captions and task bars draw a window's icon at 16 px, switchers at 32 or 48. Qt asks for each at
// the screen's scale (32, 64 and 96 at 2x), and all of them go to the X server in one property
// each time the icon is set, so the group's other sizes stay out of it.
constexpr int kWindowSystemSides[] = {48, 32, 16};

// The first source that holds `size`, else the first.
IconImages& SourceFor(const std::vector<SharedIconImages>& sources, QSize size)
{
    for (const SharedIconImages& source : sources) {
        if (source->Holds(size))
            return *source;
    }
    return *sources.front();
}

}  // namespace

IconEngine::IconEngine(std::vector<SharedIconImages> sources, QList<QSize> listed)
    : m_sources(std::move(sources)), m_listed(std::move(listed))
{
}

void IconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatio() : qApp->devicePixelRatio();
    painter->drawPixmap(rect, pixmap(rect.size() * scale, mode, state));
}

QSize IconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    return SourceFor(m_sources, size).SizeFor(size);
}

QPixmap IconEngine::pixmap(const QSize& size, QIcon::Mode, QIcon::State)
{
    return SourceFor(m_sources, size).Image(size);
}

QList<QSize> IconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    return m_listed;
}

QIconEngine* IconEngine::clone() const
{
    return new IconEngine(*this);
}

QIcon AllSizesIcon(const SharedIconImages& images)
{
    return QIcon(new IconEngine({images}, images->Sizes()));
}

QIcon WindowSystemIcon(const std::vector<SharedIconImages>& sources)
{
    QList<QSize> listed;
    for (const int side : kWindowSystemSides) {
        const QSize size = SourceFor(sources, QSize(side, side)).SizeFor(QSize(side, side));
        if (!listed.contains(size))
            listed.append(size);
    }
    return QIcon(new IconEngine(sources, listed));
}

}  // namespace qtlayer
