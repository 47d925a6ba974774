#pragma once

#include "NotchStateManager.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QTimer;

// The tab modules made ahead of the frames that show them, so that a tab
// change never waits for one to be built or drawn: the module of the tab
// under the pointer and its picture, made while the pointer rests there;
// the picture of the module shown, kept until it paints anew; and, once
// after start, every module built and drawn once, so that the first of
// each kind finds fonts, symbols and styles ready.
class ModuliPronti : public QObject {
    Q_OBJECT
public:
    using Costruttore = std::function<QWidget*(NotchTab)>;
    // The size a module of a tab takes (its module given, once built).
    using Misura = std::function<QSize(NotchTab, QWidget*)>;
    // The pointer rests on a tab this long before its module is made: a
    // pointer that only passes over the row builds nothing.
    static constexpr int kSostaMs = 60;

    // Modules are made as children of `area`, out of its sight until used.
    ModuliPronti(QWidget* area, Misura misura);
    ~ModuliPronti() override;

    void setCostruttore(Costruttore costruttore);
    // A module for `tab`, shown but out of sight (nullptr: none for it).
    QWidget* costruisci(NotchTab tab);
    // Puts a module out of sight, where it takes no clicks and draws nothing.
    static void nascondi(QWidget* modulo);

    // The pointer rests on `tab` (none: it left the row).
    void sosta(std::optional<NotchTab> tab);
    struct Pronto {
        QPointer<QWidget> modulo;
        QPixmap immagine; // null when not drawn yet
    };
    // The module made ahead for `tab`, handed over; none when there is none.
    std::optional<Pronto> prendi(NotchTab tab);
    void scarta();

    // The module shown at rest, whose picture a change starts from.
    void setMostrato(QWidget* modulo) { mostrato_ = modulo; }
    // The shown module's picture: the kept one while the module has not
    // painted since, else drawn now.
    QPixmap foto();

    // Keeps the picture of a module out of sight in step with it: when a
    // widget inside comes, goes or lays itself out anew (rows that arrive,
    // a list that fills), it is drawn again on the next turn and handed to
    // `nuova`. Null stops following it.
    void segui(QWidget* modulo, std::function<void(const QPixmap&)> nuova);

    // Builds, draws and drops each tab's module once, one a turn apart.
    void riscalda(NotchTab salvo);

    // `modulo` as it looks, over nothing.
    QPixmap disegna(QWidget* modulo);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void preparaOra(NotchTab tab);
    // The made-ahead module's picture, drawn now.
    void nuovaImmagine(const QPixmap& immagine);
    void ridisegnaSeguiti();
    struct Seguito {
        QPointer<QWidget> modulo;
        std::function<void(const QPixmap&)> nuova;
        bool cambiato = false;
    };

    QWidget* area_;
    Misura misura_;
    Costruttore costruttore_;
    QTimer* sosta_;
    std::optional<NotchTab> inSosta_;
    // The module made ahead and its picture.
    std::optional<NotchTab> tabPronta_;
    Pronto pronto_;
    QElapsedTimer eta_; // since its picture was drawn
    // The shown module and its kept picture.
    QPointer<QWidget> mostrato_, fotografato_;
    QPixmap foto_;
    bool fotoValida_ = false;
    bool disegnando_ = false;
    QList<NotchTab> daRiscaldare_;
    // The pictures kept in step: the entering module's and the one made ahead.
    QList<Seguito> seguiti_;
    bool ridisegnoInCoda_ = false;
};
