#pragma once

#include "Appunto.h"

#include <QWidget>

class ClipboardManager;
class ElencoAppunti;
class QAbstractButton;
class QLineEdit;
class QScrollArea;

// The clipboard tab: the history with a search field, a copy button per
// row, "Copia Tutto" and "Svuota cronologia". It reads the manager and
// hands every action back to it.
class ClipboardView final : public QWidget {
    Q_OBJECT
public:
    explicit ClipboardView(ClipboardManager& manager, QWidget* parent = nullptr);

    QString searchText() const;
    // The rows shown: the history, or the entries that match the search.
    QList<Appunto> filtered() const;

signals:
    // A row's copy button.
    void copiaRichiesta(const Appunto& voce);
    void copiaTuttoRichiesta();
    void svuotaRichiesta();

private:
    void aggiorna();

    // Whether a listed text matches the search, kept while it stays listed,
    // so a new copy is searched alone. Holding the string keeps its address its own.
    struct Corrispondenza {
        Appunto voce;
        bool si;
    };
    mutable QString ricercaFiltrata_;
    mutable QList<Corrispondenza> corrispondenze_;

    ClipboardManager& manager_;
    QLineEdit* ricerca_;
    QAbstractButton* copiaTutto_;
    QAbstractButton* svuota_;
    QScrollArea* scorrimento_;
    ElencoAppunti* elenco_;
    QWidget* vuoto_;
};
