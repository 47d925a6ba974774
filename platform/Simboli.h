#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The one table from the system symbol names the interface uses
// ("music.note", "bell.fill", …) to icons we ship or take from the
// freedesktop icon theme.
namespace Simboli {

// Whether the name is a symbol we can draw.
bool esiste(const QString& nome);
// The icon of a symbol; a null icon for an unknown name.
QIcon icona(const QString& nome);
// The symbol drawn in one colour at `lato` device-independent pixels.
QPixmap pixmap(const QString& nome, int lato, const QColor& colore, qreal dpr = 1.0);
// The icon-theme name behind a symbol, empty for an unknown name.
QString nomeTema(const QString& nome);

} // namespace Simboli
