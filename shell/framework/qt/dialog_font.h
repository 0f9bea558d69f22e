// The font of a dialog template on Linux, and its dialog base units.
#pragma once

#include "resource_reader.h"

#include <QFont>
#include <QRect>

namespace qtlayer {

// The faces a template may name that Linux does not have, and the face that stands in for each:
// the stand-in must be of the same kind (a Ming face with proportional Latin letters), or the
// template's labels no longer fit their boxes.
QString StandInFace(const QString& templateFace);

struct DialogMetrics {
    QFont font;
    int baseUnitX = 0;  // average width of the 52 letters, rounded as Windows rounds it
    int baseUnitY = 0;  // the font's height

    // Dialog units to pixels, rounded as MapDialogRect rounds them.
    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int cx, int cy) const;
};

DialogMetrics MetricsFor(const res::DialogTemplate& dialog);

// While it lives, the application's font is `font`. Some widgets lay their contents out in the
// application's font while they are being made, before they take their parent's (a QPlainTextEdit
// its empty document): made meanwhile, they make Qt look up and load no face that the dialog never
// draws with. The application's own font is back afterwards, for the windows that use it.
class ScopedApplicationFont {
public:
    explicit ScopedApplicationFont(const QFont& font);
    ~ScopedApplicationFont();
    ScopedApplicationFont(const ScopedApplicationFont&) = delete;
    ScopedApplicationFont& operator=(const ScopedApplicationFont&) = delete;

private:
    QFont m_saved;
};

}  // namespace qtlayer
