#include "VistaAreaScheda.h"

#include "NotchPanel.h"

#include <QEvent>

VistaAreaScheda::VistaAreaScheda(double distaccoSuperiore, QWidget* parent)
    : QWidget(parent), distaccoSuperiore_(distaccoSuperiore)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

VistaAreaScheda::~VistaAreaScheda()
{
    if (pannello_)
        pannello_->lascia(this);
}

NotchPanel* VistaAreaScheda::pannello() const
{
    return pannello_;
}

void VistaAreaScheda::dimenticaPannello()
{
    pannello_ = nullptr;
}

void VistaAreaScheda::setDistaccoSuperiore(double d)
{
    distaccoSuperiore_ = d;
    registra();
}

bool VistaAreaScheda::event(QEvent* evento)
{
    const bool r = QWidget::event(evento);
    switch (evento->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ParentChange:
    case QEvent::LayoutRequest:
        registra();
        break;
    default:
        break;
    }
    return r;
}

void VistaAreaScheda::registra()
{
    auto* nuovo = qobject_cast<NotchPanel*>(window());
    if (nuovo != pannello_) {
        if (pannello_)
            pannello_->lascia(this);
        pannello_ = nuovo;
        if (pannello_)
            pannello_->registra(this);
        return; // registra/lascia already ran the panel's action
    }
    if (pannello_)
        pannello_->registra(this);
}
