#include "PaginaTacca.h"

#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <cstdio>

PaginaTacca::PaginaTacca(QWebEngineProfile* profilo, QUrl servizio, QUrl origine, QObject* parent)
    : QWebEnginePage(profilo, parent), servizio_(std::move(servizio)), origine_(std::move(origine))
{
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    // Whether or not the load asked first, the next one is not ours.
    connect(this, &QWebEnginePage::loadFinished, this, [this] { caricoAtteso_ = false; });
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& chi, Feature f) { setFeaturePermission(chi, f, PermissionDeniedByUser); });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest r) { r.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest r) { r.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest r) { r.reject(); });
}

void PaginaTacca::caricaPagina(const QString& html)
{
    caricoAtteso_ = true;
    setHtml(html, origine_);
}

bool PaginaTacca::cornicePermessa(const QUrl& url, const QUrl& servizio)
{
    if (url.scheme() == QLatin1String("about"))
        return url.path() == QLatin1String("blank") || url.path() == QLatin1String("srcdoc");
    if (url.scheme() != servizio.scheme() && url.scheme() != QLatin1String("https"))
        return false;
    // The service and its sister hosts (www.example.com: example.com and below).
    QString dominio = servizio.host().toLower();
    if (dominio.startsWith(QLatin1String("www.")))
        dominio.remove(0, 4);
    const QString host = url.host().toLower();
    return host == dominio || host.endsWith(QLatin1Char('.') + dominio);
}

bool PaginaTacca::acceptNavigationRequest(const QUrl& url, NavigationType, bool principale)
{
    if (!principale)
        return cornicePermessa(url, servizio_);
    // Only the load of our own page; a link, a script or a redirect that
    // would take the page elsewhere stays where it is.
    const bool nostra = caricoAtteso_;
    caricoAtteso_ = false;
    return nostra;
}

void PaginaTacca::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& testo, int riga,
                                           const QString& fonte)
{
    std::fprintf(stderr, "pagina: %s (%s:%d)\n", qPrintable(testo.left(300)), qPrintable(fonte.left(200)), riga);
}
