#include "ElencoProgressivo.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>

namespace {
// A row's height before the layout has placed it.
int altezzaDi(const QWidget* w) { return std::max(w->sizeHint().height(), w->minimumHeight()); }
} // namespace

ElencoProgressivo::ElencoProgressivo(QScrollArea& area, QVBoxLayout& colonna, Riga riga, QObject* parent)
    : QObject(parent), vista_(area.viewport()), barra_(area.verticalScrollBar()), colonna_(colonna), riga_(std::move(riga)), segnaposto_(new QWidget)
{
    segnaposto_->setObjectName(QStringLiteral("righeAvenire"));
    segnaposto_->setAttribute(Qt::WA_TransparentForMouseEvents);
    segnaposto_->setFixedHeight(0);
    colonna_.insertWidget(0, segnaposto_);
    segnaposto_->hide();
    connect(barra_, &QScrollBar::valueChanged, this, &ElencoProgressivo::riempi);
    vista_->installEventFilter(this);
}

bool ElencoProgressivo::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::Resize && o == vista_)
        riempi();
    return false;
}

void ElencoProgressivo::imposta(int n)
{
    n_ = n;
    const int quante = std::min<int>(n_, std::max<int>(int(posate_.size()), kRigheIniziali));
    QList<QWidget*> prima = posate_;
    posate_.clear();
    altezzaPosate_ = 0;
    for (int i = 0; i < quante; ++i) {
        QWidget* w = riga_(i);
        prima.removeOne(w);
        if (colonna_.indexOf(w) != i) {
            colonna_.removeWidget(w);
            colonna_.insertWidget(i, w);
        }
        w->show();
        posate_ << w;
        altezzaPosate_ += altezzaDi(w) + colonna_.spacing();
    }
    for (QWidget* w : std::as_const(prima)) {
        colonna_.removeWidget(w);
        w->hide();
    }
    riempi();
    aggiornaSegnaposto();
}

void ElencoProgressivo::aggiungi()
{
    const int i = int(posate_.size());
    QWidget* w = riga_(i);
    colonna_.removeWidget(w);
    colonna_.insertWidget(i, w);
    w->show();
    posate_ << w;
    altezzaPosate_ += altezzaDi(w) + colonna_.spacing();
}

void ElencoProgressivo::riempi()
{
    if (!vista_ || !barra_)
        return;
    const int vista = vista_->height();
    if (vista <= 0)
        return;
    const int fino = barra_->value() + 2 * vista;
    const int prima = int(posate_.size());
    while (posate_.size() < n_ && altezzaPosate_ < fino)
        aggiungi();
    if (posate_.size() != prima)
        aggiornaSegnaposto();
}

void ElencoProgressivo::aggiornaSegnaposto()
{
    const int restanti = n_ - int(posate_.size());
    const int media = posate_.isEmpty() ? 0 : altezzaPosate_ / int(posate_.size());
    segnaposto_->setFixedHeight(std::max(0, restanti * media - colonna_.spacing()));
    segnaposto_->setVisible(restanti > 0);
    if (colonna_.indexOf(segnaposto_) != posate_.size()) {
        colonna_.removeWidget(segnaposto_);
        colonna_.insertWidget(int(posate_.size()), segnaposto_);
    }
}
