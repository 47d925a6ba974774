#pragma once

#include <QString>
#include <QStringList>

// The tray's conversions, each run on the files of its kind.
enum class OperazioneVassoio {
    converti,       // images re-encoded one by one (JPEG, PNG, scaled)
    creaArchivio,   // every file into one ZIP
    immaginiInPDF,  // images into one PDF
    pdfInImmagini,  // every page of each PDF as a PNG
    unisciPDF,      // two or more PDFs into one
    estraiTesto,    // text recognised in images, saved and handed back
    pdfInWord,      // each PDF into a Word document
    documentiInPDF, // each text document into a PDF
};

// What one operation produced, in input order: the files written and, for
// text recognition, the texts found joined by a blank line; and how many
// of its inputs gave nothing (all of them when nothing came out), with
// those inputs named where the operation tells them apart.
struct EsitoVassoio {
    QStringList file;
    QString testo;
    int nonConvertiti = 0;
    QStringList senzaEsito;
};
