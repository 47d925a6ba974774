#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

// The words of a PDF's pages as poppler reads them, in reading order,
// each with its box (points, from the page's top left), font and size.
namespace TestoPdf {

struct Parola {
    QString testo;
    QRectF riquadro;
    QString carattere; // the font's name, without a subset's prefix
    double punti = 0;
    bool spazioDopo = false;

    bool grassetto() const;
    bool corsivo() const;
};

// Every page's words; nothing when the file is not a PDF poppler opens.
std::optional<QList<QList<Parola>>> parole(const QString& pdf);

} // namespace TestoPdf
