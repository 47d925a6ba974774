<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Benvenuto in Orbelle</source>
        <translation>Bienvenido a Orbelle</translation>
    </message>
    <message>
        <source>Passa il mouse sulla tacca per aprirla, allontanalo per chiuderla. In alto ci sono i moduli: te li presento uno alla volta.</source>
        <translation>Pasa el ratón por el notch para abrirlo y apártalo para cerrarlo. Arriba están los módulos: te los presento uno a uno.</translation>
    </message>
    <message>
        <source>Vassoio</source>
        <translation>Bandeja</translation>
    </message>
    <message>
        <source>Trascina qui file, link e immagini per averli sempre a portata. Da qui fai anche screenshot e converti i file in PDF, JPEG o ZIP.</source>
        <translation>Arrastra aquí archivos, enlaces e imágenes para tenerlos siempre a mano. Desde aquí también haces capturas de pantalla y conviertes archivos a PDF, JPEG o ZIP.</translation>
    </message>
    <message>
        <source>Appunti</source>
        <translation>Portapapeles</translation>
    </message>
    <message>
        <source>Tutto quello che copi resta qui, pronto da incollare di nuovo. Le password copiate dai gestori di password non vengono salvate.</source>
        <translation>Todo lo que copias se queda aquí, listo para pegarlo de nuevo. Las contraseñas copiadas desde gestores de contraseñas no se guardan.</translation>
    </message>
    <message>
        <source>Calendario</source>
        <translation>Calendario</translation>
    </message>
    <message>
        <source>I tuoi impegni di oggi e i promemoria, con l'ora esatta e le ripetizioni. Prima di una riunione la tacca te lo ricorda.</source>
        <translation>Tus citas de hoy y los recordatorios, con la hora exacta y las repeticiones. Antes de una reunión el notch te lo recuerda.</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Temporizador</translation>
    </message>
    <message>
        <source>Un timer per concentrarti a blocchi, con le pause, o uno libero della durata che vuoi. Il conto alla rovescia resta visibile a tacca chiusa.</source>
        <translation>Un temporizador para concentrarte por bloques, con pausas, o uno libre de la duración que quieras. La cuenta atrás sigue visible con el notch cerrado.</translation>
    </message>
    <message>
        <source>Memo vocali</source>
        <translation>Notas de voz</translation>
    </message>
    <message>
        <source>Registra un'idea al volo e ritrovala anche scritta: ogni memo viene trascritto.</source>
        <translation>Graba una idea al vuelo y encuéntrala también por escrito: cada nota se transcribe.</translation>
    </message>
    <message>
        <source>Musica e video</source>
        <translation>Música y vídeo</translation>
    </message>
    <message>
        <source>Controlla Spotify, Apple Music e i video nel browser. Con «Guarda nella tacca» un video di YouTube continua qui mentre lavori.</source>
        <translation>Controla Spotify y los demás reproductores del escritorio, y los vídeos del navegador. Con «Ver en el notch» un vídeo de YouTube sigue aquí mientras trabajas.</translation>
    </message>
    <message>
        <source>Specchio</source>
        <translation>Espejo</translation>
    </message>
    <message>
        <source>La fotocamera a portata di clic, per un'occhiata veloce prima di una videochiamata. Si spegne da sola quando chiudi la tacca.</source>
        <translation>La cámara a un clic, para echarte un vistazo rápido antes de una videollamada. Se apaga sola cuando cierras el notch.</translation>
    </message>
    <message>
        <source>Sotto la tacca</source>
        <translation>Bajo el notch</translation>
    </message>
    <message>
        <source>Quando serve compare una scheda sotto la tacca chiusa: il brano in ascolto, il timer, il prossimo impegno, i file appena scaricati.</source>
        <translation>Cuando hace falta aparece una tarjeta bajo el notch cerrado: la canción que suena, el temporizador, la próxima cita, los archivos recién descargados.</translation>
    </message>
    <message>
        <source>Claude e ChatGPT</source>
        <translation>Claude y ChatGPT</translation>
    </message>
    <message>
        <source>Vedi quanto ti resta della sessione nell'app che stai usando. Se attivi gli avvisi, la tacca ti dice quando hanno finito o quando ti aspettano.</source>
        <translation>Mira cuánto te queda de la sesión en la app que estás usando. Si activas los avisos, el notch te dice cuándo han terminado o cuándo te esperan.</translation>
    </message>
    <message>
        <source>Impostazioni e pulsante rosso</source>
        <translation>Ajustes y botón rojo</translation>
    </message>
    <message>
        <source>Con l'ingranaggio scegli lingua, avvio al login e cosa mostrare sotto la tacca. Il pulsante rosso ferma tutto al volo: musica, fotocamera, registrazione e timer.</source>
        <translation>Con el engranaje eliges idioma, inicio al iniciar sesión y qué mostrar bajo el notch. El botón rojo lo detiene todo al instante: música, cámara, grabación y temporizador.</translation>
    </message>
    <message>
        <source>Salta</source>
        <translation>Omitir</translation>
    </message>
    <message>
        <source>Indietro</source>
        <translation>Atrás</translation>
    </message>
    <message>
        <source>Avanti</source>
        <translation>Siguiente</translation>
    </message>
    <message>
        <source>Inizia</source>
        <translation>Empezar</translation>
    </message>
    <message>
        <source>Copia per Claude Code</source>
        <translation>Copiar para Claude Code</translation>
    </message>
    <message>
        <source>Copia per ChatGPT</source>
        <translation>Copiar para ChatGPT</translation>
    </message>
    <message>
        <source>Copiato</source>
        <translation>Copiado</translation>
    </message>
    <message>
        <source>Copia il messaggio e incollalo nell'app. ChatGPT poi chiede di approvarlo con /hooks.</source>
        <translation>Copia el mensaje y pégalo en la app. Después ChatGPT te pide aprobarlo con /hooks.</translation>
    </message>
</context>
</TS>
