#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QUuid>
#include <optional>

// One transient notice of the closed notch. Two notices are the same
// notice exactly when their ids are equal.
struct AttivitaNotch {
    QUuid id = QUuid::createUuid();
    QString simbolo; // a symbol name, shown when there is no image
    QString titolo;
    std::optional<QString> dettaglio;
    std::optional<QColor> tinta;
    std::optional<QImage> anteprima;

    bool operator==(const AttivitaNotch& altra) const { return id == altra.id; }
};
