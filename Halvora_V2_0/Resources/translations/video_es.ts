<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>VideoNotchManager</name>
    <message>
        <source>Questo video non esiste più o è privato.</source>
        <translation>Este vídeo ya no existe o es privado.</translation>
    </message>
    <message>
        <source>Chi l'ha pubblicato non permette di guardarlo fuori da YouTube.</source>
        <translation>Quien lo publicó no permite verlo fuera de YouTube.</translation>
    </message>
    <message>
        <source>Questo video non si apre qui.</source>
        <translation>Este vídeo no se puede abrir aquí.</translation>
    </message>
    <message>
        <source>Senza il permesso non posso leggere le schede di %1.</source>
        <translation>Sin permiso no puedo leer las pestañas de %1.</translation>
    </message>
    <message>
        <source>Serve il permesso di leggere le schede di %1: Impostazioni di Sistema › Privacy e sicurezza › Automazione.</source>
        <translation>Hace falta permiso para leer las pestañas de %1.</translation>
    </message>
    <message>
        <source>Nella tacca si possono guardare solo i video di YouTube: adesso sta suonando %1.</source>
        <translation>En el notch solo se pueden ver vídeos de YouTube: ahora está sonando %1.</translation>
    </message>
    <message>
        <source>Nessuna scheda di YouTube aperta in %1.</source>
        <translation>No hay ninguna pestaña de YouTube abierta en %1.</translation>
    </message>
</context>
<context>
    <name>PropostaVideoCardView</name>
    <message>
        <source>Guarda nella tacca</source>
        <translation>Ver en el notch</translation>
    </message>
    <message>
        <source>Continua a guardare questo video sotto la tacca</source>
        <translation>Sigue viendo este vídeo bajo el notch</translation>
    </message>
    <message>
        <source>Non ora</source>
        <translation>Ahora no</translation>
    </message>
</context>
<context>
    <name>VideoNotchCardView</name>
    <message>
        <source>Apro il video…</source>
        <translation>Abriendo el vídeo…</translation>
    </message>
    <message>
        <source>Consenti l'accesso a %1 nella finestra di sistema</source>
        <translation>Permite el acceso a %1 en la ventana del sistema</translation>
    </message>
    <message>
        <source>Metti in pausa %1 per sentirlo qui</source>
        <translation>Pausa %1 para oírlo aquí</translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Torna al browser</source>
        <translation>Volver al navegador</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
