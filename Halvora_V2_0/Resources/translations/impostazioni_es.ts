<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>A riposo resta solo una linguetta sul bordo dello schermo, che si apre avvicinando il puntatore. Riduce le aperture involontarie e, sui Mac senza tacca fisica, libera la barra dei menu.</source>
        <translation>En reposo solo queda una pestaña en el borde de la pantalla, que se abre al acercar el puntero. Reduce las aperturas involuntarias y deja libre el panel de la parte superior de la pantalla.</translation>
    </message>
    <message>
        <source>Aggiungi un'app…</source>
        <translation>Añadir una app…</translation>
    </message>
    <message>
        <source>Annuncia i file scaricati</source>
        <translation>Anunciar los archivos descargados</translation>
    </message>
    <message>
        <source>Apri la notch con ⌃⌥N</source>
        <translation>Abrir el notch con Ctrl+Alt+N</translation>
    </message>
    <message>
        <source>Aspetto</source>
        <translation>Apariencia</translation>
    </message>
    <message>
        <source>Avvia al login</source>
        <translation>Abrir al iniciar sesión</translation>
    </message>
    <message>
        <source>Avvisi di Claude e ChatGPT</source>
        <translation>Avisos de Claude y ChatGPT</translation>
    </message>
    <message>
        <source>Cambiando lingua l'app si riapre da sola.</source>
        <translation>Al cambiar el idioma, la app se vuelve a abrir sola.</translation>
    </message>
    <message>
        <source>Cerca aggiornamenti</source>
        <translation>Buscar actualizaciones</translation>
    </message>
    <message>
        <source>ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex nel Terminale e scrivi /hooks.</source>
        <translation>ChatGPT ejecuta los hooks solo después de que los hayas aprobado: abre Codex en un terminal y escribe /hooks.</translation>
    </message>
    <message>
        <source>Compare nel quarto d'ora prima di un appuntamento del calendario.</source>
        <translation>Aparece en el cuarto de hora antes de una cita del calendario.</translation>
    </message>
    <message>
        <source>Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</source>
        <translation>Ctrl+Alt+N abre y cierra el notch desde cualquier app. También se cierra con un clic fuera.</translation>
    </message>
    <message>
        <source>Disponibile la </source>
        <translation>Disponible la </translation>
    </message>
    <message>
        <source>Disponibile solo con l'app nella cartella Applicazioni.</source>
        <translation>Disponible solo con la app en la carpeta ~/Applications.</translation>
    </message>
    <message>
        <source>Esci da Orbelle</source>
        <translation>Salir de Orbelle</translation>
    </message>
    <message>
        <source>Escludi</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Generale</source>
        <translation>General</translation>
    </message>
    <message>
        <source>IMPOSTAZIONI</source>
        <translation>AJUSTES</translation>
    </message>
    <message>
        <source>Il conto alla rovescia resta visibile anche a notch chiusa.</source>
        <translation>La cuenta atrás sigue visible incluso con el notch cerrado.</translation>
    </message>
    <message>
        <source>Il riquadro con copertina e onde che compare durante la riproduzione.</source>
        <translation>El recuadro con carátula y ondas que aparece durante la reproducción.</translation>
    </message>
    <message>
        <source>L'audio non lascia il computer, ma il riconoscimento offline sbaglia molto di piu'. Da spento, la trascrizione passa dai server di Apple come la dettatura di sistema.</source>
        <translation>El audio nunca sale del ordenador: el reconocimiento se hace siempre aquí, incluso desactivado, y sin conexión se equivoca más que un servicio en línea.</translation>
    </message>
    <message>
        <source>La cronologia non registra i contenuti che il sistema marca come riservati, ne' nulla di copiato mentre in primo piano c'e' una di queste app. Ogni copia viene inoltre confermata con una seconda lettura, perche' durante una scrittura il pasteboard puo' mostrarsi privo di marcatori.</source>
        <translation>El historial no registra los contenidos que las apps marcan como confidenciales, ni nada copiado mientras un gestor de contraseñas o una de las apps de abajo está en primer plano. Además, cada copia se confirma con una segunda lectura, porque durante una escritura el portapapeles puede aparecer sin marcadores.</translation>
    </message>
    <message>
        <source>Lingua</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Lingua: </source>
        <translation>Idioma: </translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacidad</translation>
    </message>
    <message>
        <source>Privacy degli appunti</source>
        <translation>Privacidad del portapapeles</translation>
    </message>
    <message>
        <source>Prossimo impegno sotto la notch</source>
        <translation>Próximo evento bajo el notch</translation>
    </message>
    <message>
        <source>Quando Claude o ChatGPT finiscono un lavoro, o ti chiedono un permesso, mentre sei in un'altra app, compare nella notch.</source>
        <translation>Cuando Claude o ChatGPT terminan un trabajo, o te piden un permiso, mientras estás en otra app, aparece en el notch.</translation>
    </message>
    <message>
        <source>Riapertura in corso…</source>
        <translation>Reabriendo…</translation>
    </message>
    <message>
        <source>Rivedi la guida</source>
        <translation>Volver a ver la guía</translation>
    </message>
    <message>
        <source>Scegli un'app da cui non registrare mai gli appunti.</source>
        <translation>Elige una app de la que no registrar nunca el portapapeles.</translation>
    </message>
    <message>
        <source>Scheda musicale sotto la notch</source>
        <translation>Tarjeta de música bajo el notch</translation>
    </message>
    <message>
        <source>Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti via AirDrop.</source>
        <translation>Señala los archivos recién aparecidos en Descargas, incluidos los recibidos con KDE Connect.</translation>
    </message>
    <message>
        <source>Segue la lingua del Mac: </source>
        <translation>Sigue el idioma del sistema: </translation>
    </message>
    <message>
        <source>Tacca discreta</source>
        <translation>Notch discreto</translation>
    </message>
    <message>
        <source>Timer sotto la notch</source>
        <translation>Temporizador bajo el notch</translation>
    </message>
    <message>
        <source>Torna Indietro</source>
        <translation>Volver</translation>
    </message>
    <message>
        <source>Trascrizione solo sul Mac</source>
        <translation>Transcripción solo en este ordenador</translation>
    </message>
    <message>
        <source>Un anello nella notch aperta mostra quanto hai usato di Claude o di ChatGPT, a seconda dell'app che stai usando, e mentre la usi compare anche una scheda sotto la notch chiusa. Oltre i tre quarti diventano arancioni. I dati vengono dalle app Claude e ChatGPT, se installate: niente password, niente accesso all'account.</source>
        <translation>Un anillo en el notch abierto muestra cuánto has usado de Claude o de ChatGPT, según la app que estés usando, y mientras la usas también aparece una tarjeta bajo el notch cerrado. Por encima de tres cuartos se vuelven naranjas. Los datos vienen de las apps Claude y ChatGPT, si están instaladas: sin contraseñas, sin acceso a la cuenta.</translation>
    </message>
    <message>
        <source>Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona.</source>
        <translation>Otra app ya usa Ctrl+Alt+N: mientras la tenga, aquí no funciona.</translation>
    </message>
    <message>
        <source>Uso dell'IA</source>
        <translation>Uso de la IA</translation>
    </message>
    <message>
        <source>Versione </source>
        <translation>Versión </translation>
    </message>
    <message>
        <source>non disponibile</source>
        <translation>no disponible</translation>
    </message>
</context>
</TS>
