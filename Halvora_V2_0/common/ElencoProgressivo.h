#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QScrollBar>
#include <functional>

class QScrollArea;
class QVBoxLayout;
class QWidget;

// Puts the rows of a long list into a scroll area's column as they come
// into view: the rows on screen and one screen more first, the others as
// the list scrolls towards them. A spacer of their estimated height stands
// in for the rows not built yet, so the list scrolls as far as it will.
// Rows are built by the owner, which keeps them; rows left out are hidden.
class ElencoProgressivo final : public QObject {
    Q_OBJECT
public:
    // The row for position `indice`, built on first asking.
    using Riga = std::function<QWidget*(int indice)>;

    // `colonna` lays out the scroll area's widget; the rows go at its start.
    ElencoProgressivo(QScrollArea& area, QVBoxLayout& colonna, Riga riga, QObject* parent = nullptr);

    // The list now holds `n` rows: those in view go into the column, in order.
    void imposta(int n);
    // How many rows are in the column now.
    int posate() const { return int(posate_.size()); }

    // Rows put in before the area has a height of its own.
    static constexpr int kRigheIniziali = 12;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // Adds rows until the column reaches one screen past the one in view.
    void riempi();
    void aggiungi();
    void aggiornaSegnaposto();

    // The area's parts, never the area: its events still come while it is
    // being destroyed, when it is no scroll area any more.
    QPointer<QWidget> vista_;
    QPointer<QScrollBar> barra_;
    QVBoxLayout& colonna_;
    Riga riga_;
    QWidget* segnaposto_;
    QList<QWidget*> posate_;
    int n_ = 0;
    int altezzaPosate_ = 0; // the rows' own heights, with the spacing after each
};
